#include "ui/win32/PassInput_win.h"

#include <windowsx.h>

#include "platform/win32/Bind_win.h"

namespace kiv {

namespace {

// Bound by name: user32 has them from Vista on; under wine 8 they are missing or fail,
// and then the refusal of WM_QUERYENDSESSION alone keeps the session up. Looked up before the
// pass's thread exists and after its work: no component runs in this process, so nothing
// holds the loader's lock for longer than a load.
HMODULE User32() {
    return GetModuleHandleW(L"user32.dll");
}

// Every kind of input: keys, the mouse over the client area and the frame, and, from Windows 8
// on, touch and pen, which come as pointer messages beside the mouse's (not declared by an SDK
// set for Windows 7, so by number). Wine 8 sends no pointer messages, so no test makes one: a
// tap is held or dropped by the rules of a click, which the tests do make.
constexpr UINT kTouch = 0x0240, kPointerDown = 0x0246, kPointerUp = 0x0247, kGesture = 0x0119;
constexpr struct {
    UINT first, last;
} kInput[] = {{WM_KEYFIRST, WM_KEYLAST},
              {WM_MOUSEFIRST, WM_MOUSELAST},
              {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
              {kGesture, kGesture + 1},
              {kTouch, 0x0257},
              {WM_NCMOUSEHOVER, WM_MOUSELEAVE}};

bool IsInput(UINT message) {
    for (const auto& range : kInput) {
        if (message >= range.first && message <= range.last) {
            return true;
        }
    }
    return false;
}

}  // namespace

PassInput::PassInput(HWND window, HWND endButton) : window_(window), endButton_(endButton) {}

void PassInput::BeginPass(const std::wstring& sessionEndReason) {
    requests_.BeginPass();
    if (const auto block = KIV_BOUND_CALL(User32(), ShutdownBlockReasonCreate)) {
        block(window_, sessionEndReason.c_str());
    }
}

Request PassInput::EndPass() {
    TakeQueued(true);  // what was typed or clicked while a box's loop took none
    if (const auto allow = KIV_BOUND_CALL(User32(), ShutdownBlockReasonDestroy)) {
        allow(window_);
    }
    return requests_.EndPass();
}

Request PassInput::Arrive(Request request) {
    // A message another thread sent is taken as soon as it is sent; one posted, or sent by
    // this thread while it handles input, carries the time of what was taken off the queue.
    const DWORD madeAt = InSendMessage() ? GetTickCount() : static_cast<DWORD>(GetMessageTime());
    return requests_.Arrive(request, madeAt);
}

bool PassInput::Take(const MSG& message) {
    if (!PassRunning() || !IsInput(message.message)) {
        return false;
    }
    requests_.Arrive(RequestOf(message), message.time);
    return true;
}

void PassInput::TakeQueued(bool requestsCount) {
    if (!PassRunning()) {
        return;
    }
    MSG input = {};
    for (const auto& range : kInput) {
        while (PeekMessageW(&input, nullptr, range.first, range.last, PM_REMOVE)) {
            const Request request = RequestOf(input);
            if (requestsCount) {
                requests_.Arrive(request, input.time);
            }
        }
    }
}

// Alt+F4 anywhere in the window, or a click or tap that both begins and ends on "End". Keys
// never reach "End" during the pass: the focus starts on the progress bar, and Tab is input.
Request PassInput::RequestOf(const MSG& input) {
    const bool ours = input.hwnd == window_ || IsChild(window_, input.hwnd);
    constexpr LPARAM kAltDown = LPARAM{1} << 29;
    POINT at = {GET_X_LPARAM(input.lParam), GET_Y_LPARAM(input.lParam)};
    switch (input.message) {
        case WM_SYSKEYDOWN:
            return ours && input.wParam == VK_F4 && (input.lParam & kAltDown) ? Request::Close
                                                                              : Request::None;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case kPointerDown:
            pressedOnEnd_ = input.hwnd == endButton_;
            return Request::None;
        case kPointerUp:  // where a pointer is, in screen coordinates
            ScreenToClient(endButton_, &at);
            [[fallthrough]];
        case WM_LBUTTONUP: {
            RECT button = {};
            GetClientRect(endButton_, &button);
            const bool click = pressedOnEnd_ && input.hwnd == endButton_ && PtInRect(&button, at);
            pressedOnEnd_ = false;
            return click ? Request::End : Request::None;
        }
    }
    return Request::None;
}

}  // namespace kiv
