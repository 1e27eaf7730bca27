#pragma once

#include "platform/IFiles.h"

namespace kiv {

// The file-system object of the pass, native: no automation server is needed.
class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    // Copies into a temporary file beside the destination and then puts it in the
    // destination's place in one step, so that an installed file is never half-written.
    void CopyFile(const std::string& source, const std::string& destination) override;
};

}  // namespace kiv
