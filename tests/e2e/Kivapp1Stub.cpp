#include <windows.h>

#include <string>

// Stands in for the main application: it records how it was started and ends at once.
// Each start appends one line to "<own name>.record" beside its own file:
//   process id, TAB, 1 if STARTF_USESHOWWINDOW is set else 0, TAB, wShowWindow, TAB,
//   the exact command line (UTF-8), LF.
// It opens no window, so the minimized show state it is given costs nothing.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);

    const std::wstring commandLine = GetCommandLineW();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, commandLine.data(), static_cast<int>(commandLine.size()),
                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, commandLine.data(), static_cast<int>(commandLine.size()),
                        utf8.data(), size, nullptr, nullptr);
    const std::string line = std::to_string(GetCurrentProcessId()) + '\t' +
                             ((startup.dwFlags & STARTF_USESHOWWINDOW) ? "1" : "0") + '\t' +
                             std::to_string(startup.wShowWindow) + '\t' + utf8 + '\n';

    std::wstring record(MAX_PATH, L'\0');
    record.resize(GetModuleFileNameW(nullptr, record.data(), MAX_PATH));
    record = record.substr(0, record.find_last_of(L'.')) + L".record";
    // Appending with shared access keeps the lines of starts that overlap apart.
    const HANDLE file =
        CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 2;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 3;
}
