#include "trust/Publisher.h"

#include <algorithm>

#include "platform/IFiles.h"
#include "platform/ISignatures.h"
#include "platform/Ports.h"

namespace kiv {

CertificatePins ParsePins(const std::string& text) {
    CertificatePins pins;
    for (size_t start = 0; start <= text.size() && !text.empty();) {
        const size_t end = std::min(text.find(';', start), text.size());
        Sha256::Digest pin = {};
        if (!FromHex(text.substr(start, end - start), pin)) {
            pin = {};  // the hash of nothing anyone can make a certificate for
        }
        pins.push_back(pin);
        start = end + 1;
    }
    return pins;
}

RuntimeError NotFromPublisher(const std::string& reason) {
    return RuntimeError(err::NotFromPublisher,
                        "The update's files are not the publisher's: " + reason +
                            " Nothing was installed from here on. Download the update "
                            "again from the publisher, and tell the publisher's support.");
}

// Trust comes from the pins alone, not from a chain to a root: the publisher's key is the only
// one that may speak for these files, whatever certificates the machine trusts, and the pin
// holds on machines whose clock or revocation lists cannot be relied on. So neither expiry nor
// revocation is looked at; a key that leaks is replaced by shipping a build with a new pin.
StagingList ReadSignedStagingList(const std::string& stagingFolder, const CertificatePins& pins) {
    IFiles& files = *Platform().files;
    std::string list, signature;
    try {
        list = files.ReadAll(stagingFolder + "\\" + kSignedListFile);
        signature = files.ReadAll(stagingFolder + "\\" + kSignedListSignature);
    } catch (const RuntimeError& error) {
        throw NotFromPublisher("their signed list (support\\" + std::string(kSignedListFile) +
                               " and " + kSignedListSignature + ") is missing or unreadable (" +
                               error.Description() + ").");
    }
    SignedMessage message;
    try {
        message = Platform().signatures->Read(signature, list);
    } catch (const RuntimeError&) {
        message = SignedMessage();
    }
    if (!message.signatureVerifies) {
        throw NotFromPublisher("the signature of their list does not verify.");
    }
    const Sha256::Digest listDigest = Sha256::Of(list);
    if (message.messageDigest != std::string(listDigest.begin(), listDigest.end())) {
        throw NotFromPublisher("their list was changed after it was signed.");
    }
    const Sha256::Digest signer = Sha256::Of(message.signerCertificate);
    if (std::find(pins.begin(), pins.end(), signer) == pins.end()) {
        throw NotFromPublisher("their list is signed by \"" + message.signerName +
                               "\" with a certificate that is not the publisher's (SHA-256 " +
                               ToHex(signer) + ").");
    }
    std::optional<StagingList> parsed = StagingList::Parse(list);
    if (!parsed) {
        throw NotFromPublisher("their signed list is not in the form this program reads.");
    }
    return std::move(*parsed);
}

}  // namespace kiv
