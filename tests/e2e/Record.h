#pragma once

#include <windows.h>

#include <string>

// Shared by the harness programs that do not link the driver: the stub main application and
// the test components write their records with these.
namespace kiv::e2e {

inline std::string Utf8(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    std::string result(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), length,
                                                               nullptr, 0, nullptr, nullptr)),
                       '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(),
                        static_cast<int>(result.size()), nullptr, nullptr);
    return result;
}

// Appends the line and LF, in UTF-8. Shared access keeps the lines of writers that overlap
// apart.
inline bool AppendLine(const std::wstring& path, const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace kiv::e2e
