#pragma once

#include <cstdint>
#include <string>

namespace kiv {

// The system's fixed directories. Each call writes the path into buffer (which the
// caller sized to `size` characters) and returns its length, 0 on failure, or the length
// it would need when the buffer is too small, as the system calls do.
struct ISystemDirs {
    virtual ~ISystemDirs() = default;
    virtual uint32_t SystemDirectory(std::string& buffer, uint32_t size) = 0;
    virtual uint32_t WindowsDirectory(std::string& buffer, uint32_t size) = 0;
    virtual uint32_t TempPath(uint32_t size, std::string& buffer) = 0;
};

}  // namespace kiv
