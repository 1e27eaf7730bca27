#include "Record.h"

// Stands in for the main application: it records how it was started and ends at once.
// Each start appends one line to "<own name>.record" beside its own file:
//   process id, TAB, 1 if STARTF_USESHOWWINDOW is set else 0, TAB, wShowWindow, TAB,
//   the exact command line (UTF-8), LF.
// It opens no window, so the minimized show state it is given costs nothing.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::wstring record(MAX_PATH, L'\0');
    record.resize(GetModuleFileNameW(nullptr, record.data(), MAX_PATH));
    record = record.substr(0, record.find_last_of(L'.')) + L".record";
    const std::wstring line = std::to_wstring(GetCurrentProcessId()) + L'\t' +
                              ((startup.dwFlags & STARTF_USESHOWWINDOW) ? L"1" : L"0") + L'\t' +
                              std::to_wstring(startup.wShowWindow) + L'\t' + GetCommandLineW();
    return kiv::e2e::AppendLine(record, line) ? 0 : 2;
}
