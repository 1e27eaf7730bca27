#include "platform/win32/WindowThread_win.h"

#include <exception>

#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

IWindowThread* g_thread = nullptr;

bool OnWindowThread() {
    return g_thread == nullptr ||
           GetWindowThreadProcessId(g_thread->Window(), nullptr) == GetCurrentThreadId();
}

}  // namespace

void SetWindowThread(IWindowThread* thread) {
    g_thread = thread;
}

void RunOnWindowThread(const std::function<void()>& task) {
    if (OnWindowThread()) {
        task();
        return;
    }
    std::exception_ptr failure;
    const std::function<void()> guarded = [&] {
        try {
            task();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    SendMessageW(g_thread->Window(), kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&guarded));
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void ShowBox(const std::string& text, const std::string& title, uint32_t style) {
    if (g_thread == nullptr) {  // no window yet: "already open"
        MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(title).c_str(), style);
        return;
    }
    // Owned by the update window even when another program is active, so that the box
    // stands above the window whose state it reports, and the window takes no clicks.
    RunOnWindowThread([&] {
        g_thread->BeforeBox();
        MessageBoxW(g_thread->Window(), ToWide(text).c_str(), ToWide(title).c_str(), style);
        g_thread->AfterBox();
    });
}

void PumpPending() {
    if (g_thread != nullptr && !OnWindowThread()) {
        return;
    }
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the window's loop, which takes it as a request to close.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace kiv
