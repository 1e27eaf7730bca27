#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Record.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/SystemPaths_win.h"
#include "ui/Controls.h"

// Runs the real kivupdate.exe and reads it from outside, as a user or a screen reader
// would, and builds the disk state a run starts from.
namespace kiv::e2e {

template <typename Condition>
bool Within(DWORD timeoutMs, Condition condition) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !condition(); Sleep(20)) {
        if (GetTickCount64() >= end) {
            return false;
        }
    }
    return true;
}

// The folder of the test program; the programs it drives are built beside it.
std::wstring OwnFolder();
std::wstring Wow64Folder();  // the SysWOW64 sibling of the system folder (SystemDirectoryW)
bool Exists(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Writes a file that must not exist yet, with the given last-modified time.
void WriteNew(const std::wstring& path, const std::string& bytes, FILETIME time);
void CopyBuilt(const wchar_t* name, const std::wstring& to);
// Made, with blanks and Greek, Cyrillic and CJK letters in its name.
std::wstring NewTemporaryFolder();
void RemoveTree(const std::wstring& folder);
// The names in a folder but "." and "..", in order of their UTF-16 units.
std::vector<std::wstring> Names(const std::wstring& folder);
// The lines of a record file, each cut at the first `fields - 1` tabs.
std::vector<std::vector<std::string>> Records(const std::wstring& path, size_t fields);

struct Box {
    HWND handle = nullptr;
    std::string text;
};

// One start of a program, in a job so that everything it starts ends with the test.
class Program {
public:
    explicit Program(const std::wstring& commandLine, const wchar_t* currentFolder = nullptr);
    ~Program();

    DWORD Id() const { return pid_; }
    HWND Window() const;
    // Until a message box shows (given back), the log ends with the closing lines, or
    // the program ends; "status" says why it gave up.
    std::optional<Box> NextBox(DWORD timeoutMs);
    void Answer(const Box& box);
    bool PassEnded() const;
    std::vector<std::string> Log() const;
    void PressEnd() { PostMessageW(GetDlgItem(Window(), ui::kCommand1Id), BM_CLICK, 0, 0); }
    void Close() { PostMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }
    // The exit code once the program and all it started have ended.
    std::optional<DWORD> Exit(DWORD timeoutMs);
    std::string status;

private:
    std::optional<Box> FindBox() const;

    kiv::ScopedKernelHandle process_;
    kiv::ScopedKernelHandle job_{CreateJobObjectW(nullptr, nullptr)};
    DWORD pid_ = 0;
    mutable HWND window_ = nullptr;  // found once it shows
};

}  // namespace kiv::e2e
