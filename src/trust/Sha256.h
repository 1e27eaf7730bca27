#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv {

// SHA-256, fed in pieces. The program's own: what decides whether a staged file is the
// publisher's must not depend on a library that the system may answer loosely (wine's trust
// calls accept forged input), and a hash computed while a file is copied needs no second read.
class Sha256 {
public:
    using Digest = std::array<uint8_t, 32>;

    Sha256();
    void Add(const void* data, size_t size);
    Digest Finish();  // the hasher is spent afterwards

    static Digest Of(const std::string& bytes);

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> block_ = {};
    size_t filled_ = 0;
    uint64_t length_ = 0;
};

// Lower-case hex of the digest, as the signed list writes it.
std::string ToHex(const Sha256::Digest& digest);
// The bytes of 64 hex digits (either case); false when the text is not that.
bool FromHex(const std::string& text, Sha256::Digest& digest);

}  // namespace kiv
