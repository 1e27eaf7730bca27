#include "Record.h"

// Stands in for the main application: each start appends "<pid> TAB <1 if it was given a
// show state, else 0> TAB <show state> TAB <exact command line>" to kivapp1.record beside
// it, and ends at once.
// Started with "--sleep" it records nothing, takes a second and ends with 7, for the tests of
// waits on processes.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    if (std::wstring(arguments) == L"--sleep") {
        Sleep(1000);
        return 7;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    std::wstring record(MAX_PATH, L'\0');
    record.resize(GetModuleFileNameW(nullptr, record.data(), MAX_PATH));
    record = record.substr(0, record.find_last_of(L'.')) + L".record";
    kiv::e2e::AppendLine(record, std::to_wstring(GetCurrentProcessId()) + L'\t' +
                                     ((startup.dwFlags & STARTF_USESHOWWINDOW) ? L"1\t" : L"0\t") +
                                     std::to_wstring(startup.wShowWindow) + L'\t' +
                                     GetCommandLineW());
    return 0;
}
