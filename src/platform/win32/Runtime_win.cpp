#include "platform/win32/Runtime_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/CommandLine_win.h"
#include "platform/win32/MessagePump_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/Threads_win.h"

namespace kiv {

namespace {

// One name for every session first, so that two administrators cannot update at once;
// a session that may not use the global namespace keeps the guard to itself.
constexpr wchar_t kGlobalMutex[] = L"Global\\KivAldervikUpdate";
constexpr wchar_t kLocalMutex[] = L"Local\\KivAldervikUpdate";

}  // namespace

HCURSOR CursorOfPointer(int pointer) {
    return pointer == pointer::Hourglass ? LoadCursorW(nullptr, IDC_WAIT) : nullptr;
}

std::string Win32Runtime::ArgumentText() {
    return ToUtf8(ArgumentTextOf(GetCommandLineW()));
}

bool Win32Runtime::AnotherInstanceRunning() {
    if (instanceMutex_) {
        return anotherInstance_;  // the handle stays open for the life of the process
    }
    instanceMutex_.Reset(CreateMutexW(nullptr, FALSE, kGlobalMutex));
    if (!instanceMutex_ && GetLastError() == ERROR_ACCESS_DENIED) {
        instanceMutex_.Reset(CreateMutexW(nullptr, FALSE, kLocalMutex));
    }
    // A guard that cannot be made at all does not keep the update from running.
    anotherInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
    return anotherInstance_;
}

void Win32Runtime::Beep() {
    MessageBeep(MB_OK);
}

void Win32Runtime::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    ShowBox(text, title, style);
}

std::string Win32Runtime::AppTitle() {
    return "kivupdate";
}

void Win32Runtime::SetMousePointer(int pointer) {
    pointer_ = pointer;
    const HCURSOR cursor = CursorOfPointer(pointer);
    SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Runtime::DoEvents() {
    PumpPending();
}

void Win32Runtime::Start(const std::string& commandLine, int showState) {
    Win32Processes processes;
    processes.Close(processes.Start(commandLine, showState));
}

void Win32Runtime::End(int exitCode) {
    EndProcess(exitCode);
}

}  // namespace kiv
