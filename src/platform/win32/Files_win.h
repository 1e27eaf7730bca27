#pragma once

#include "platform/IFiles.h"

namespace kiv {

class Win32Files final : public IFiles {
public:
    uint32_t GetAttributes(const std::string& path) override;
    FileTime LastModified(const std::string& path) override;
    std::string FirstNormalFile(const std::string& pattern) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
    std::shared_ptr<IFileSystem> CreateFileSystem() override;
};

}  // namespace kiv
