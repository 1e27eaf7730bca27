#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32/Windows_win.h"

namespace kiv {

// Sent to the update window to run a task on its thread: its lParam is the task, a
// std::function<void()>, which throws nothing.
constexpr UINT kRunOnWindowThread = WM_APP + 10;

// The update window's thread as the program's other threads see it: what only that thread
// may do (show a box the window owns, set the mouse pointer over it) is asked of it and
// waited for.
struct IWindowThread {
    virtual ~IWindowThread() = default;
    virtual HWND Window() = 0;
    // Around every box: what the pass holds back goes on screen before it, and input queued
    // before it appears never answers it.
    virtual void BeforeBox() = 0;
    virtual void AfterBox() = 0;
};

// One for the process, set while the update window exists; nullptr removes it.
void SetWindowThread(IWindowThread* thread);

// Runs task on the window's thread and waits for it; runs it here when this is that thread
// or there is no window. What it throws is thrown here.
void RunOnWindowThread(const std::function<void()>& task);

// A modal box owned by the update window, shown by its thread.
void ShowBox(const std::string& text, const std::string& title, uint32_t style);

// Lets the pending messages of the window's thread be processed once; elsewhere nothing.
void PumpPending();

}  // namespace kiv
