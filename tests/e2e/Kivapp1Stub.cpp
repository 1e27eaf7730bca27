#include "Record.h"

// Stands in for the main application: each start appends "<pid> TAB <1 if it was given a
// show state, else 0> TAB <show state> TAB <exact command line>" to kivapp1.record beside
// it, and ends at once: with 0 where its environment is a user's own, in which USERPROFILE
// names a folder and KIV_ELEVATED_ONLY (which tests set in theirs) is missing, else with 1.
// Started with "--hold MS FILE [PATTERN]" it records nothing and opens FILE for a while, as
// antivirus and backup services do: at once to append a byte, or, given a PATTERN, to read
// without delete sharing once a file that matches it exists. It keeps FILE open MS
// milliseconds and ends with 0, or with 1 when it held nothing up (FILE could not be opened,
// or the match was gone by then). Started with "--swap FILE OTHER PATTERN" it waits as well,
// then tries to write FILE and to move it aside for OTHER, and ends with 0 when both were
// refused as sharing violations (FILE is held), else with 1.
bool Matches(const wchar_t* pattern) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(pattern, &found);
    return find != INVALID_HANDLE_VALUE && FindClose(find);
}

// Until a file matches the pattern, for 30 s at most.
void AwaitMatch(const wchar_t* pattern) {
    for (int waited = 0; !Matches(pattern) && waited < 30000; ++waited) {
        Sleep(1);
    }
}

int Hold(int argc, wchar_t** argv) {
    const wchar_t* pattern = argc > 4 ? argv[4] : nullptr;
    if (pattern) {
        AwaitMatch(pattern);
    }
    const HANDLE file =
        CreateFileW(argv[3], pattern ? GENERIC_READ : FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    const bool holding = file != INVALID_HANDLE_VALUE &&
                         (pattern ? Matches(pattern) : WriteFile(file, "w", 1, &written, nullptr));
    Sleep(wcstoul(argv[2], nullptr, 10));
    CloseHandle(file);
    return holding ? 0 : 1;
}

int Swap(wchar_t** argv) {
    AwaitMatch(argv[4]);
    // Either way in: its bytes written over, or the file moved aside for OTHER to take its name.
    const HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    const bool written = file != INVALID_HANDLE_VALUE && CloseHandle(file);
    const bool refused = !written && GetLastError() == ERROR_SHARING_VIOLATION;
    const std::wstring aside = std::wstring(argv[2]) + L".aside";
    if (MoveFileW(argv[2], aside.c_str())) {
        MoveFileW(argv[3], argv[2]);
        return 1;
    }
    return refused && GetLastError() == ERROR_SHARING_VIOLATION ? 0 : 1;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc == 5 && std::wstring(__wargv[1]) == L"--swap") {
        return Swap(__wargv);
    }
    if (__argc >= 4 && std::wstring(__wargv[1]) == L"--hold") {
        return Hold(__argc, __wargv);
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
