#include "platform/win32/OwnImage_win.h"

namespace kiv {

// A buffer the call fills to the brim was too small.
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0 || length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Read access makes Windows check the sharing of every later open against this one: a
// rename, a delete or a write then fails with a sharing violation. On NTFS the folder it
// lies in cannot be renamed either while a file in it is open.
OwnImage::OwnImage()
    : path_(ModulePath()),
      held_(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!held_) {
        path_.clear();
    }
}

}  // namespace kiv
