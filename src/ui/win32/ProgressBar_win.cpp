#include "ui/win32/ProgressBar_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "ui/win32/Subclass_win.h"

namespace kiv {

ProgressBar::ProgressBar(HWND parent, int controlId, COLORREF barColor) : barColor_(barColor) {
    window_ = CreateWindowExW(
        0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | PBS_SMOOTH, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!window_) {
        throw LastError();
    }
    original_ = Subclass(window_, this, Procedure);
    SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(minimum_), maximum_);
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(value_), 0);
    // Told to the control as well, for whoever asks it to draw without us.
    SendMessageW(window_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(barColor));
}

void ProgressBar::SetValue(int32_t value) {
    // The control keeps a position inside its range; so does the copy kept here.
    value_ = value < minimum_ ? minimum_ : value > maximum_ ? maximum_ : value;
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(value_), 0);
}

LRESULT CALLBACK ProgressBar::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* bar = reinterpret_cast<ProgressBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!bar) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT:
            bar->OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            bar->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            bar->window_ = nullptr;
            return Unsubclass(window, bar->original_, message, wParam, lParam);
    }
    return CallWindowProcW(bar->original_, window, message, wParam, lParam);
}

void ProgressBar::OnPaint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(window_, &paint);
    if (dc) {
        Paint(dc);
    }
    EndPaint(window_, &paint);
}

// A thin frame, the window colour, and the bar from the left up to the value's share of
// the range.
void ProgressBar::Paint(HDC dc) const {
    RECT client = {};
    GetClientRect(window_, &client);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT inside = client;
    InflateRect(&inside, -1, -1);
    FillRect(dc, &inside, GetSysColorBrush(COLOR_WINDOW));

    const int64_t minimum = Minimum();
    const int64_t span = int64_t{Maximum()} - minimum;
    const int64_t done = std::min<int64_t>(std::max<int64_t>(Value() - minimum, 0), span);
    if (span <= 0 || done <= 0) {
        return;
    }
    RECT bar = inside;
    bar.right = bar.left + static_cast<LONG>((bar.right - bar.left) * done / span);
    const ScopedBrush brush(CreateSolidBrush(barColor_));
    FillRect(dc, &bar, brush.Get());
}

}  // namespace kiv
