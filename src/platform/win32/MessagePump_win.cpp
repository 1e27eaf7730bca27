#include "platform/win32/MessagePump_win.h"

#include <algorithm>

#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

IPumpHost* g_host = nullptr;

void BeforeBlocking() {
    if (g_host) {
        g_host->BeforeBlocking();
    }
}

bool TakeQueuedInput(bool requestsCount) {
    return g_host && g_host->TakeQueuedInput(requestsCount);
}

}  // namespace

void SetPumpHost(IPumpHost* host) {
    g_host = host;
}

void RunModalLoop(HWND window, const bool& closed) {
    MSG message = {};
    while (!closed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            break;
        }
        if (got < 0) {
            break;
        }
        // A window destroyed by a message sent while the loop waited takes no more.
        if (closed || !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void PumpPending() {
    BeforeBlocking();
    // Input that arrives while this loop runs stays queued for the next one to take.
    const UINT kinds =
        TakeQueuedInput(true) ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0;
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | kinds)) {
        if (message.message == WM_QUIT) {
            // Leave the quit request for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ShowBox(const std::string& text, const std::string& title, uint32_t style) {
    BeforeBlocking();
    TakeQueuedInput(true);
    // Owned by the update window even when another program is active, so that the box
    // stands above the window whose state it reports, and the window takes no clicks.
    const HWND owner = g_host ? g_host->BoxOwner() : nullptr;
    MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), style);
    TakeQueuedInput(false);
}

void AnswerSentMessages() {
    MSG message = {};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

WaitResult WaitOnHandle(std::uintptr_t handle, uint32_t milliseconds) {
    const HANDLE object = reinterpret_cast<HANDLE>(handle);
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    // Most waits (a copy of a small file) end within a display frame: they wait plainly
    // and paint nothing, since every look at the queue costs (under wine it also puts the
    // window's surface on screen).
    const DWORD quick = std::min<DWORD>(milliseconds, kDisplayFrameMs);
    switch (WaitForSingleObject(object, quick)) {
        case WAIT_OBJECT_0:
            return WaitResult::Ended;
        case WAIT_TIMEOUT:
            if (quick == milliseconds) {
                return WaitResult::TimedOut;
            }
            break;
        default:
            return WaitResult::Failed;
    }
    BeforeBlocking();
    // Input made during the wait is taken as it comes, so that a request keeps its place
    // among those sent meanwhile.
    const DWORD wakeFor = TakeQueuedInput(true) ? QS_SENDMESSAGE | QS_INPUT : QS_SENDMESSAGE;
    for (;;) {
        DWORD remaining = INFINITE;
        if (milliseconds != INFINITE) {
            const ULONGLONG now = GetTickCount64();
            remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        // Wakes for the handle and for messages sent to this thread's windows; the
        // overall limit stays the caller's.
        switch (MsgWaitForMultipleObjectsEx(1, &object, remaining, wakeFor, 0)) {
            case WAIT_OBJECT_0:
                return WaitResult::Ended;
            case WAIT_OBJECT_0 + 1:
                AnswerSentMessages();
                TakeQueuedInput(true);
                break;
            case WAIT_TIMEOUT:
                return WaitResult::TimedOut;
            default:
                return WaitResult::Failed;
        }
    }
}

}  // namespace kiv
