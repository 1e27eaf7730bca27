#pragma once

#include "platform/ISystemDirs.h"

namespace kiv {

class Win32SystemDirs final : public ISystemDirs {
public:
    uint32_t SystemDirectory(std::string& buffer, uint32_t size) override;
    uint32_t WindowsDirectory(std::string& buffer, uint32_t size) override;
    uint32_t TempPath(uint32_t size, std::string& buffer) override;
};

}  // namespace kiv
