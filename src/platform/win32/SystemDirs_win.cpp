#include "platform/win32/SystemDirs_win.h"

#include <windows.h>

#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

// Runs a wide directory call on a buffer of `size` characters and hands its answer back
// in UTF-8: the count of bytes written, 0 on failure, or the count it would need.
template <typename Call>
uint32_t WideDirectory(Call call, std::string& buffer, uint32_t size) {
    std::wstring wide(size, L'\0');
    const uint32_t length = call(wide.data(), size);
    if (length == 0 || length >= size) {
        return length;
    }
    const std::string text = ToUtf8(wide.data(), length);
    buffer = text;
    if (buffer.size() < size) {
        buffer.resize(size, '\0');
    }
    return static_cast<uint32_t>(text.size());
}

}  // namespace

uint32_t Win32SystemDirs::SystemDirectory(std::string& buffer, uint32_t size) {
    return WideDirectory([](wchar_t* b, uint32_t n) { return ::GetSystemDirectoryW(b, n); }, buffer,
                         size);
}

uint32_t Win32SystemDirs::WindowsDirectory(std::string& buffer, uint32_t size) {
    return WideDirectory([](wchar_t* b, uint32_t n) { return ::GetWindowsDirectoryW(b, n); },
                         buffer, size);
}

uint32_t Win32SystemDirs::TempPath(uint32_t size, std::string& buffer) {
    return WideDirectory([](wchar_t* b, uint32_t n) { return ::GetTempPathW(n, b); }, buffer, size);
}

}  // namespace kiv
