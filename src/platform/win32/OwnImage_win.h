#pragma once

#include <string>

#include "platform/win32/ScopedWin_win.h"

namespace kiv {

// The path of the running program's file, of whatever length.
std::wstring ModulePath();

// The program's own file, held open from start-up to the end without write or delete
// sharing. The default installation folder is its user's to write, and Windows lets a
// running program's file be renamed: held, it can be neither renamed, replaced nor
// changed, so a program started from its path is this program, with this program's rights.
class OwnImage {
public:
    OwnImage();
    // The path of the held file; empty when it could not be held, and nothing may then be
    // started from it.
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    ScopedKernelHandle held_;
};

}  // namespace kiv
