#pragma once

#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "trust/Sha256.h"
#include "trust/StagingList.h"

namespace kiv {

// The SHA-256 of each certificate (DER) the publisher signs with: the current one and, while
// a key is being replaced, the next.
using CertificatePins = std::vector<Sha256::Digest>;

// Pins written "hex[;hex]". A piece that is not 64 hex digits becomes a pin that nothing
// matches: a build whose pin is broken refuses every list rather than take any.
CertificatePins ParsePins(const std::string& text);

// Where the release puts the signed list, below the staging folder: in a folder, which the
// listing of staged files never shows, so a build without pins never sees it.
constexpr const char* kSignedListFile = "signed\\files.lst";
constexpr const char* kSignedListSignature = "signed\\files.p7s";

// Reads the signed list of a staging folder and checks it: the signature verifies, the list is
// the one that was signed (its own SHA-256 against the signed messageDigest attribute), and the
// signer's certificate is one of the pins. Raises NotFromPublisher with the reason otherwise.
StagingList ReadSignedStagingList(const std::string& stagingFolder, const CertificatePins& pins);

// The report's error for a list or a staged file that is not the publisher's.
RuntimeError NotFromPublisher(const std::string& reason);

}  // namespace kiv
