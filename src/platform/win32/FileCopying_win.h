#pragma once

#include <string>

#include "platform/IFiles.h"

namespace kiv {

// The file-system object of the pass, native (no automation server is needed): what it
// finds at a destination, and its copies there. The listing is FileListing_win's.
class Win32FileSystem final : public IFileSystem {
public:
    bool FileExists(const std::string& path, FileLook& found) override;
    // Copies into a temporary file beside the destination and then puts it in the
    // destination's place in one step, so that an installed file is never half-written
    // (ReplaceFile_win.h). Hidden, system and read-only destinations are refused with 70
    // before anything is written.
    void CopyFile(const std::string& source, const std::string& destination,
                  const FileLook& destinationLook, const ListedFile* listed) override;
    std::shared_ptr<void> HoldAsListed(const std::string& path, const ListedFile& listed) override;
};

}  // namespace kiv
