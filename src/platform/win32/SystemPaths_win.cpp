#include "platform/win32/SystemPaths_win.h"

namespace kiv {

std::wstring SystemDirectoryW() {
    // Sized from the call's own answer: asked with no buffer, it gives the size it needs.
    std::wstring path(::GetSystemDirectoryW(nullptr, 0), L'\0');
    const UINT length = path.empty() ? 0 : ::GetSystemDirectoryW(path.data(), UINT(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

HMODULE LoadLibraryConfined(const std::wstring& path, DWORD searchFlags) {
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, searchFlags);
    if (library == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return library;
}

}  // namespace kiv
