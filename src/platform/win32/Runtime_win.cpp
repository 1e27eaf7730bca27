#include "platform/win32/Runtime_win.h"

#include "platform/CommandLine.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/DesktopStart_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/ProgramJob_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/WindowThread_win.h"

namespace kiv {

HCURSOR CursorOfPointer(int pointer) {
    return pointer == pointer::Hourglass ? LoadCursorW(nullptr, IDC_WAIT) : nullptr;
}

std::string Win32Runtime::ArgumentText() {
    return ArgumentTextOf(ToUtf8(GetCommandLineW()));
}

bool Win32Runtime::AnotherInstanceRunning() {
    if (!anotherInstance_) {
        anotherInstance_ = AnotherCopyHoldsTheGuard(guard_);  // held for the life of the process
    }
    return *anotherInstance_;
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

// The pointer is the window thread's to set; the pass asks for it and waits, so that the
// hourglass is up before its work begins and gone before its box shows.
void Win32Runtime::SetMousePointer(int pointer) {
    RunOnWindowThread([this, pointer] {
        pointer_ = pointer;
        const HCURSOR cursor = CursorOfPointer(pointer);
        SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
    });
}

void Win32Runtime::DoEvents() {
    PumpPending();
}

void Win32Runtime::Start(const std::string& commandLine, int showState) {
    Win32Processes processes;
    processes.Close(processes.Start(commandLine, showState));
}

bool Win32Runtime::StartAsDesktopUser(const std::string& commandLine, int showState) {
    return kiv::StartAsDesktopUser(commandLine, showState);
}

// Ended, not exited: ExitProcess stops the other threads wherever they stand and then runs
// every DLL's detach code, which waits for good on a lock the pass's thread held when it was
// stopped (the heap's, the loader's). Nothing of the program's needs that code to run.
void Win32Runtime::End(int exitCode) {
    BarStartsInProgramJob();
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    ExitProcess(static_cast<UINT>(exitCode));  // not reached; keeps the call [[noreturn]]
}

}  // namespace kiv
