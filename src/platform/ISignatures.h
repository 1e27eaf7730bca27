#pragma once

#include <string>

namespace kiv {

// What a detached CMS signature says, read step by step. Nothing here is trusted yet: the
// caller compares the digest with the content's own and the signer with the pins.
struct SignedMessage {
    // The one signer's signature verifies, with the key of the certificate the message names
    // for it, over the signed attributes.
    bool signatureVerifies = false;
    std::string messageDigest;      // the signed messageDigest attribute's bytes, or empty
    std::string signerCertificate;  // its DER form
    std::string signerName;         // for the report
};

struct ISignatures {
    virtual ~ISignatures() = default;
    // Raises when the signature cannot be read as one signer's signature of content.
    virtual SignedMessage Read(const std::string& signature, const std::string& content) = 0;
};

}  // namespace kiv
