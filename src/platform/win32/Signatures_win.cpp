#include "platform/win32/Signatures_win.h"

#include "platform/win32/Windows_win.h"

#include <wincrypt.h>

#include <vector>

#include "platform/RuntimeError.h"
#include "platform/win32/Bind_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/SystemPaths_win.h"

namespace kiv {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

}  // namespace

// The calls, bound once from the loaded crypt32; a missing one leaves `bound` false.
struct Crypt32 {
    explicit Crypt32(HMODULE module)
        : openToDecode(KIV_BOUND_CALL(module, CryptMsgOpenToDecode)),
          update(KIV_BOUND_CALL(module, CryptMsgUpdate)),
          getParam(KIV_BOUND_CALL(module, CryptMsgGetParam)),
          control(KIV_BOUND_CALL(module, CryptMsgControl)),
          close(KIV_BOUND_CALL(module, CryptMsgClose)),
          openStore(KIV_BOUND_CALL(module, CertOpenStore)),
          closeStore(KIV_BOUND_CALL(module, CertCloseStore)),
          findSigner(KIV_BOUND_CALL(module, CertGetSubjectCertificateFromStore)),
          freeCertificate(KIV_BOUND_CALL(module, CertFreeCertificateContext)),
          name(KIV_BOUND_CALL(module, CertGetNameStringW)) {
        bound = openToDecode && update && getParam && control && close && openStore && closeStore &&
                findSigner && freeCertificate && name;
    }
    decltype(&CryptMsgOpenToDecode) openToDecode;
    decltype(&CryptMsgUpdate) update;
    decltype(&CryptMsgGetParam) getParam;
    decltype(&CryptMsgControl) control;
    decltype(&CryptMsgClose) close;
    decltype(&CertOpenStore) openStore;
    decltype(&CertCloseStore) closeStore;
    decltype(&CertGetSubjectCertificateFromStore) findSigner;
    decltype(&CertFreeCertificateContext) freeCertificate;
    decltype(&CertGetNameStringW) name;
    bool bound = false;
};

namespace {

// A message, its certificate store and its signer's certificate, closed in reverse order.
class Decoded {
public:
    explicit Decoded(const Crypt32& calls) : calls_(calls) {}
    ~Decoded() {
        if (signer)
            calls_.freeCertificate(signer);
        if (store)
            calls_.closeStore(store, 0);
        if (message)
            calls_.close(message);
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;

    std::vector<BYTE> Param(DWORD type) const {
        DWORD size = 0;
        std::vector<BYTE> bytes;
        if (calls_.getParam(message, type, 0, nullptr, &size) && size > 0) {
            bytes.resize(size);
            if (!calls_.getParam(message, type, 0, bytes.data(), &size)) {
                bytes.clear();
            }
        }
        return bytes;
    }

    HCRYPTMSG message = nullptr;
    HCERTSTORE store = nullptr;
    PCCERT_CONTEXT signer = nullptr;

private:
    const Crypt32& calls_;
};

// The value of the signed messageDigest attribute: a DER octet string of a digest's length.
std::string MessageDigest(const std::vector<BYTE>& attributes) {
    if (attributes.empty()) {
        return {};
    }
    const auto& list = *reinterpret_cast<const CRYPT_ATTRIBUTES*>(attributes.data());
    for (DWORD i = 0; i < list.cAttr; ++i) {
        const CRYPT_ATTRIBUTE& attribute = list.rgAttr[i];
        if (std::string(attribute.pszObjId) != szOID_PKCS_9_MESSAGE_DIGEST ||
            attribute.cValue != 1) {
            continue;
        }
        const CRYPT_ATTR_BLOB& value = attribute.rgValue[0];
        if (value.cbData >= 2 && value.pbData[0] == 0x04 && value.pbData[1] < 0x80 &&
            value.pbData[1] + 2u == value.cbData) {
            return std::string(reinterpret_cast<const char*>(value.pbData) + 2, value.pbData[1]);
        }
    }
    return {};
}

}  // namespace

Win32Signatures::Win32Signatures() {
    const std::wstring system = SystemDirectoryW();
    if (!system.empty()) {
        crypt32_.Reset(
            LoadLibraryConfined(system + L"\\crypt32.dll", LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    calls_ = std::make_shared<const Crypt32>(crypt32_.Get());
}

SignedMessage Win32Signatures::Read(const std::string& signature, const std::string& content) {
    const Crypt32& calls = *calls_;
    if (!calls.bound) {
        throw RuntimeError(err::CannotCreateObject, ERROR_PROC_NOT_FOUND);
    }
    Decoded decoded(calls);
    decoded.message = calls.openToDecode(kEncoding, CMSG_DETACHED_FLAG, 0, 0, nullptr, nullptr);
    const auto feed = [&](const std::string& bytes) {
        return calls.update(decoded.message, reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()), TRUE);
    };
    // The signature, then the content it is detached from.
    if (!decoded.message || !feed(signature) || !feed(content)) {
        throw RuntimeError(err::InvalidCall, GetLastError());
    }
    const std::vector<BYTE> count = decoded.Param(CMSG_SIGNER_COUNT_PARAM);
    const std::vector<BYTE> certInfo = decoded.Param(CMSG_SIGNER_CERT_INFO_PARAM);
    if (count.size() != sizeof(DWORD) || *reinterpret_cast<const DWORD*>(count.data()) != 1 ||
        certInfo.empty()) {
        throw RuntimeError(err::InvalidCall);  // one signer, the publisher, or none
    }
    decoded.store = calls.openStore(CERT_STORE_PROV_MSG, kEncoding, 0, 0, decoded.message);
    decoded.signer =
        decoded.store
            ? calls.findSigner(decoded.store, kEncoding,
                               reinterpret_cast<PCERT_INFO>(const_cast<BYTE*>(certInfo.data())))
            : nullptr;
    if (!decoded.signer) {
        throw RuntimeError(err::InvalidCall, GetLastError());
    }
    SignedMessage message;
    message.signatureVerifies = calls.control(decoded.message, 0, CMSG_CTRL_VERIFY_SIGNATURE,
                                              decoded.signer->pCertInfo) != FALSE;
    message.messageDigest = MessageDigest(decoded.Param(CMSG_SIGNER_AUTH_ATTR_PARAM));
    message.signerCertificate.assign(reinterpret_cast<const char*>(decoded.signer->pbCertEncoded),
                                     decoded.signer->cbCertEncoded);
    wchar_t name[256] = L"";
    calls.name(decoded.signer, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
    message.signerName = ToUtf8(name);
    return message;
}

}  // namespace kiv
