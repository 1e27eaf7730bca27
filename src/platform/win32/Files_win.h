#pragma once

#include "platform/IFiles.h"

namespace kiv {

class Win32Files final : public IFiles {
public:
    uint32_t GetAttributes(const std::string& path) override;
};

}  // namespace kiv
