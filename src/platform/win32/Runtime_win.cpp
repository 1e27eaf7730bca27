#include "platform/win32/Runtime_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/CommandLine_win.h"
#include "platform/win32/DesktopStart_win.h"
#include "platform/win32/MessagePump_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

HCURSOR CursorOfPointer(int pointer) {
    return pointer == pointer::Hourglass ? LoadCursorW(nullptr, IDC_WAIT) : nullptr;
}

std::string Win32Runtime::ArgumentText() {
    return ToUtf8(ArgumentTextOf(GetCommandLineW()));
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

bool Win32Runtime::StartAsDesktopUser(const std::string& commandLine, int showState) {
    return kiv::StartAsDesktopUser(commandLine, showState);
}

void Win32Runtime::End(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace kiv
