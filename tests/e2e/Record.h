#pragma once

#include <windows.h>

#include <string>

// Shared by the stub main application and the test components, which write records.
namespace kiv::e2e {

inline std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()),
                                                         bytes.data(), int(bytes.size()), nullptr,
                                                         nullptr)));
    return bytes;
}

// Appends the line and LF in UTF-8; shared access keeps overlapping writers apart.
inline void AppendLine(const std::wstring& path, const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace kiv::e2e
