#pragma once

#include <memory>
#include <string>

#include "platform/IFiles.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// What one look at a destination found. The pass asks whether a destination exists and
// then, at once, how old it is and copies onto it: the one look answers all three, where
// each question would otherwise cost a query of its own. Each answer is taken once, so a
// look never stands in for a later question about the same file.
struct DestinationLook {
    std::string path;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    FILETIME lastWrite = {};
    bool timeTaken = true;
    bool attributesTaken = true;
};

// The file-system object of the pass, native: no automation server is needed.
class Win32FileSystem final : public IFileSystem {
public:
    explicit Win32FileSystem(std::shared_ptr<DestinationLook> look) : look_(std::move(look)) {}

    bool FileExists(const std::string& path) override;
    // Copies into a temporary file beside the destination and then puts it in the
    // destination's place in one step, so that an installed file is never half-written
    // (ReplaceFile_win.h). Hidden, system and read-only destinations are refused with 70
    // before anything is written.
    void CopyFile(const std::string& source, const std::string& destination) override;

private:
    std::shared_ptr<DestinationLook> look_;
};

}  // namespace kiv
