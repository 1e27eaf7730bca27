#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Record.h"

namespace kiv::e2e {

std::wstring Wide(const std::string& text);
std::wstring Lower(std::wstring text);

// Polls every 50 ms until the condition holds or the time is up; gives its last answer.
template <typename Condition>
bool Within(DWORD timeoutMs, Condition condition) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

// Control ids of the update window; a label's id is kLabelBase plus its index.
constexpr int kCommand1 = 1001;
constexpr int kList1 = 1002;
constexpr int kProgressBar = 1003;
constexpr int kLabelBase = 2000;
constexpr int kLabel1 = 1;
constexpr int kLabel2 = 2;
constexpr int kLabel8 = 8;
constexpr int kLabel21 = 21;

// The folder of the running test program, without a trailing backslash; the programs it
// drives are built beside it.
std::wstring OwnFolder();
// The program under test, built beside the test program.
std::wstring KivUpdatePath();
// The command line that starts kivupdate.exe (quoted) with exactly this argument text.
std::wstring KivUpdateCommandLine(const std::wstring& argumentText);

struct Box {
    HWND handle = nullptr;
    std::string title;
    std::string text;  // carriage returns kept as the box holds them
    bool icon = false;
};

enum class PassEnd { Finished, BoxShown, Exited, TimedOut };

// Starts one program and drives its windows from outside, as a user or a screen reader
// would. Everything the program starts runs in a job, so the driver can end all of it.
class Driver {
public:
    explicit Driver(const std::wstring& commandLine);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return pid_; }
    bool Running() const;
    // Why the last wait gave up, for failure messages.
    const std::string& Status() const { return status_; }

    // The visible update window of this process, or null after the timeout.
    HWND WaitForWindow(DWORD timeoutMs);
    HWND Window() const { return window_; }
    // Until the log ends with the two closing lines, a message box shows, or the program
    // ends.
    PassEnd WaitForPassEnd(DWORD timeoutMs);

    std::optional<Box> FindBox() const;
    std::optional<Box> WaitForBox(DWORD timeoutMs);
    void Answer(const Box& box);

    std::string Caption(int labelIndex) const;
    bool Visible(int labelIndex) const;
    std::string ControlText(int controlId) const;
    // Every line of the log list; empty when the window does not answer in time.
    std::optional<std::vector<std::string>> Lines() const;
    std::optional<int> ProgressPosition() const;
    std::optional<std::pair<int, int>> ProgressRange() const;
    std::optional<BYTE> Alpha() const;

    void PressEnd();
    void Close();
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // Until no process of the job runs any more (the relaunched program included).
    bool WaitForDescendants(DWORD timeoutMs);

private:
    HWND Control(int id) const;

    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
    std::string status_;
};

// Log lines in one text, one per line, for readable failure messages.
std::string Joined(const std::vector<std::string>& lines);

}  // namespace kiv::e2e
