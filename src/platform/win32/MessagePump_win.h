#pragma once

#include <cstdint>
#include <string>

#include "platform/WaitResult.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// A display frame: what the pass holds back reaches the screen at least this often.
constexpr DWORD kDisplayFrameMs = 16;

// The update window, as every message loop of the program sees it: the loops of its own,
// of the boxes it shows, and of its waits.
struct IPumpHost {
    virtual ~IPumpHost() = default;
    // Before the thread blocks for longer than a display frame: paint what is held back.
    virtual void BeforeBlocking() = 0;
    // The window that owns every box the program shows.
    virtual HWND BoxOwner() = 0;
    // While the pass runs no keyboard or mouse input may reach a window, so each loop
    // first takes the queued input away; a close or "End" among it is held as a request
    // when requestsCount, dropped otherwise. False when input is not held back now.
    virtual bool TakeQueuedInput(bool requestsCount) = 0;
};

// One host for the process; SetPumpHost(nullptr) removes it.
void SetPumpHost(IPumpHost* host);

// The loop of a modal window: runs the thread's messages until `closed` is set, and
// moves between the window's controls on Tab and Shift+Tab as in a dialog. A quit request
// ends it and is left for the outer loop.
void RunModalLoop(HWND window, const bool& closed);

// Lets the pending messages be processed once; while the pass runs, input is not among
// them.
void PumpPending();

// A modal box owned by the update window, which it disables meanwhile. Input that was
// queued before the box appeared never answers it, and input that reached the disabled
// window while it was up is dropped.
void ShowBox(const std::string& text, const std::string& title, uint32_t style);

// Waits on any waitable kernel handle, as both threads and processes are. The thread
// keeps answering messages other programs send to its windows while it waits (so that
// Windows never takes it for hung), but handles no input and runs no posted message.
WaitResult WaitOnHandle(std::uintptr_t handle, uint32_t milliseconds);

// Lets the calling thread answer the messages other threads and programs have sent to
// its windows, without taking any posted message or input from its queue.
void AnswerSentMessages();

}  // namespace kiv
