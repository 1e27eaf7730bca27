#include "ui/win32/PassGuard_win.h"

#include <windowsx.h>

#include "platform/win32/Bind_win.h"

namespace kiv {

namespace {

// Bound by name: user32 has them from Vista on; under wine 8 they are missing or fail,
// and then the refusal of WM_QUERYENDSESSION alone keeps the session up.
HMODULE User32() {
    return GetModuleHandleW(L"user32.dll");
}

}  // namespace

PassGuard::PassGuard(HWND window, HWND endButton) : window_(window), endButton_(endButton) {}

void PassGuard::BeginPass(const std::wstring& sessionEndReason) {
    requests_.BeginPass();
    if (const auto block = KIV_BOUND_CALL(User32(), ShutdownBlockReasonCreate)) {
        block(window_, sessionEndReason.c_str());
    }
}

Request PassGuard::EndPass() {
    TakeQueuedInput(true);  // what was typed or clicked while nothing took input
    if (const auto allow = KIV_BOUND_CALL(User32(), ShutdownBlockReasonDestroy)) {
        allow(window_);
    }
    return requests_.EndPass();
}

Request PassGuard::Arrive(Request request) {
    // A message another thread sent is taken as soon as it is sent; one posted, or sent by
    // this thread while it handles input, carries the time of what was taken off the queue.
    const DWORD madeAt = InSendMessage() ? GetTickCount() : static_cast<DWORD>(GetMessageTime());
    return requests_.Arrive(request, madeAt);
}

bool PassGuard::TakeQueuedInput(bool requestsCount) {
    if (!PassRunning()) {
        return false;
    }
    MSG input = {};
    while (PeekMessageW(&input, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
        const Request request = RequestOf(input);
        if (requestsCount) {
            requests_.Arrive(request, input.time);
        }
    }
    return true;
}

// Alt+F4 anywhere in the window, or a click that both begins and ends on "End". Keys never
// reach "End" during the pass: the focus starts on the progress bar, and Tab is input.
Request PassGuard::RequestOf(const MSG& input) {
    const bool ours = input.hwnd == window_ || IsChild(window_, input.hwnd);
    constexpr LPARAM kAltDown = LPARAM{1} << 29;
    switch (input.message) {
        case WM_SYSKEYDOWN:
            return ours && input.wParam == VK_F4 && (input.lParam & kAltDown) ? Request::Close
                                                                              : Request::None;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressedOnEnd_ = input.hwnd == endButton_;
            return Request::None;
        case WM_LBUTTONUP: {
            RECT button = {};
            GetClientRect(endButton_, &button);
            const POINT at = {GET_X_LPARAM(input.lParam), GET_Y_LPARAM(input.lParam)};
            const bool click = pressedOnEnd_ && input.hwnd == endButton_ && PtInRect(&button, at);
            pressedOnEnd_ = false;
            return click ? Request::End : Request::None;
        }
    }
    return Request::None;
}

}  // namespace kiv
