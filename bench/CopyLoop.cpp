// The baselines of the benchmark: the least a program must do for the pass's copying.
// It lists the staging folder as the pass does, routes each name the same way, checks
// existence and times (reading each staged file through the name the pass uses), and
// copies what is missing or older, either straight with CopyFileW ("bare") or, as the
// program does, through a temporary file beside the destination, flushed to the disk and
// then moved ("tempmove"). It times its own loop and prints the milliseconds.
//
//   kivbenchloop bare|tempmove INSTALL_FOLDER
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The program's flush before its move: a rename does not carry the data to the disk.
bool Flush(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return flushed;
}

std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool EndsWith(const std::wstring& upper, const wchar_t* tail) {
    const size_t length = wcslen(tail);
    return upper.size() >= length && upper.compare(upper.size() - length, length, tail) == 0;
}

bool IsNormal(DWORD attributes) {
    return (attributes &
            (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (IsNormal(entry.dwFileAttributes)) {
            names.emplace_back(entry.cFileName);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

bool HoldsNormalFile(const std::wstring& folder) {
    WIN32_FIND_DATAW entry = {};
    const HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool found = false;
    do {
        found = IsNormal(entry.dwFileAttributes);
    } while (!found && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

long long Seconds(const FILETIME& time) {
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                  time.dwLowDateTime) /
           10000000;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || (wcscmp(argv[1], L"bare") != 0 && wcscmp(argv[1], L"tempmove") != 0)) {
        fwprintf(stderr, L"usage: kivbenchloop bare|tempmove INSTALL_FOLDER\n");
        return 2;
    }
    const bool throughTemporary = wcscmp(argv[1], L"tempmove") == 0;
    const std::wstring install = argv[2];

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);

    wchar_t buffer[MAX_PATH] = {};
    const std::wstring system(buffer, GetSystemDirectoryW(buffer, MAX_PATH));
    std::wstring wow64;
    const size_t at = Upper(system).find(L"SYSTEM32");
    if (at != std::wstring::npos && HoldsNormalFile(system.substr(0, at) + L"SysWOW64")) {
        wow64 = system.substr(0, at) + L"SysWOW64";
    }

    const std::wstring support = install + L"\\support";
    int copied = 0;
    int failed = 0;
    for (const std::wstring& name : ListFolder(support)) {
        const std::wstring upper = Upper(name);
        std::wstring target;
        if (EndsWith(upper, L".DEP") || EndsWith(upper, L".LIB") || EndsWith(upper, L".OCA") ||
            EndsWith(upper, L".EXP")) {
            target = system + L"\\" + name;
        } else if (EndsWith(upper, L".DLL") || EndsWith(upper, L".OCX")) {
            if (upper.compare(0, 3, L"KIV") == 0 && EndsWith(upper, L"LIB.DLL")) {
                target = install + L"\\Library\\" + name;
            } else {
                target = system + L"\\" + name;
                if (!wow64.empty() &&
                    GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
                    target = wow64 + L"\\" + name;
                }
            }
        } else {
            continue;
        }
        // Read through the spelling the pass must use for the staged file ("Support"), as
        // the pass does: the same folder on Windows, a case-blind lookup of it under wine.
        const std::wstring staged = install + L"\\Support\\" + name;
        WIN32_FILE_ATTRIBUTE_DATA installed = {}, source = {};
        if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &installed)) {
            if (!GetFileAttributesExW(staged.c_str(), GetFileExInfoStandard, &source) ||
                Seconds(installed.ftLastWriteTime) >= Seconds(source.ftLastWriteTime)) {
                continue;
            }
        }
        bool ok;
        if (throughTemporary) {
            const std::wstring temporary = target + L".kivnew";
            ok = CopyFileW(staged.c_str(), temporary.c_str(), FALSE) && Flush(temporary) &&
                 MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        } else {
            ok = CopyFileW(staged.c_str(), target.c_str(), FALSE);
        }
        ok ? ++copied : ++failed;
    }

    QueryPerformanceCounter(&end);
    const double ms =
        static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    wprintf(L"loop_ms=%.3f\ncopied=%d\nfailed=%d\n", ms, copied, failed);
    return failed == 0 ? 0 : 1;
}
