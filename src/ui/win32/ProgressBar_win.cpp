#include "ui/win32/ProgressBar_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

namespace {
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

ProgressBar::ProgressBar(HWND parent, int controlId, COLORREF barColor) : barColor_(barColor) {
    window_ = CreateWindowExW(
        0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | PBS_SMOOTH, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!window_) {
        throw LastError();
    }
    SetWindowSubclass(window_, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(window_, PBM_SETRANGE32, 0, 100);
    SendMessageW(window_, PBM_SETPOS, 0, 0);
    // Told to the control as well, for whoever asks it to draw without us.
    SendMessageW(window_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(barColor));
}

int32_t ProgressBar::Value() const {
    return static_cast<int32_t>(SendMessageW(window_, PBM_GETPOS, 0, 0));
}

int32_t ProgressBar::Minimum() const {
    return static_cast<int32_t>(SendMessageW(window_, PBM_GETRANGE, TRUE, 0));
}

int32_t ProgressBar::Maximum() const {
    return static_cast<int32_t>(SendMessageW(window_, PBM_GETRANGE, FALSE, 0));
}

// The control repaints itself at once, so the bar moves while the pass holds the thread.
void ProgressBar::SetValue(int32_t value) {
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

LRESULT CALLBACK ProgressBar::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    ProgressBar& bar = *reinterpret_cast<ProgressBar*>(self);
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT:
            bar.OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            bar.Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, Subclass, kSubclassId);
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
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
