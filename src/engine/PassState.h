#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "trust/Publisher.h"

namespace kiv {

struct IFileSystem;

// What the pass works with and leaves behind: made by the composition point, handed to the
// program's start and from there to the pass and its report. Nothing else holds any of it.
struct PassState {
    std::string InstallFolder;  // the product's installation folder, set once at start-up
    std::string CurrentTarget;  // destination of the file at hand
    std::string Wow64Folder;    // the 32-bit system folder on 64-bit Windows, or empty
    std::shared_ptr<IFileSystem> FileSystem;
    // The publisher's certificates, where the build carries them; a build without them
    // installs whatever is staged.
    CertificatePins PublisherPins;
    // The last error the pass reported, and the box's text.
    int32_t LastErrorNumber = 0;
    std::string LastErrorDescription;
    std::string LastErrorText;
};

}  // namespace kiv
