#pragma once

#include <cstdint>
#include <string>

namespace kiv {

namespace attr {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
}  // namespace attr

// The file system as the program's runtime sees it. Failures raise RuntimeError.
struct IFiles {
    virtual ~IFiles() = default;
    // Attributes of a path; raises 53/76/52... when it cannot be queried.
    virtual uint32_t GetAttributes(const std::string& path) = 0;
};

}  // namespace kiv
