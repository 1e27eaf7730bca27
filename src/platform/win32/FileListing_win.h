#pragma once

#include "platform/IFiles.h"

namespace kiv {

// What the pass reads of the disk: a folder's plain files, attributes and times, and small
// files whole. The copies are FileCopying_win's.
class Win32Files final : public IFiles {
public:
    uint32_t GetAttributes(const std::string& path) override;
    FileTime LastModified(const std::string& path) override;
    std::string FirstNormalFile(const std::string& pattern) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
    std::string ReadAll(const std::string& path) override;
    std::shared_ptr<IFileSystem> CreateFileSystem() override;
};

}  // namespace kiv
