#include "Record.h"

// Stands in for the main application: each start appends "<pid> TAB <1 if it was given a
// show state, else 0> TAB <show state> TAB <exact command line>" to kivapp1.record beside
// it, and ends at once: with 0 where its environment is a user's own, in which USERPROFILE
// names a folder and KIV_ELEVATED_ONLY (which tests set in theirs) is missing, else with 1.
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
    wchar_t profile[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    const DWORD attributes = GetFileAttributesW(profile);
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder && GetEnvironmentVariableW(L"KIV_ELEVATED_ONLY", nullptr, 0) == 0 ? 0 : 1;
}
