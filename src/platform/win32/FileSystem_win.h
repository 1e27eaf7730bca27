#pragma once

#include <cstdint>
#include <string>

#include "platform/IFiles.h"

namespace kiv {

// The file-system object of the pass, native: no automation server is needed.
class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    // Copies into a temporary file beside the destination and then puts it in the
    // destination's place in one step, so that an installed file is never half-written.
    // The copy is named after the destination with ".kivnew" added; a leftover of that
    // name is written over and removed. Hidden, system and read-only destinations are
    // refused with 70 before anything is written.
    void CopyFile(const std::string& source, const std::string& destination) override;

private:
    std::string lastPath_;
    uint32_t lastAttributes_ = 0;
};

}  // namespace kiv
