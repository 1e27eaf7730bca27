#include "platform/win32/Runtime_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/CommandLine_win.h"
#include "platform/win32/DesktopStart_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/Threads_win.h"

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
    // Owned by this thread's active window, so that a box of the update pass is modal
    // to the update window, which shows its latest state beneath it.
    BeforeBlocking();
    MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(title).c_str(), style);
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
    BeforeBlocking();
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit request for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Runtime::Start(const std::string& commandLine, int showState) {
    Win32Processes processes;
    processes.Close(processes.Start(commandLine, showState));
}

bool Win32Runtime::StartAsDesktopUser(const std::string& commandLine, int showState) {
    return kiv::StartAsDesktopUser(commandLine, showState);
}

void Win32Runtime::End(int exitCode) {
    EndProcess(exitCode);
}

}  // namespace kiv
