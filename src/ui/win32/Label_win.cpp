#include "ui/win32/Label_win.h"

#include <commctrl.h>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

namespace {

constexpr UINT_PTR kSubclassId = 1;

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

Label::Label(HWND parent, int controlId, COLORREF color, const std::wstring& caption, bool visible)
    : color_(color) {
    const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX | (visible ? WS_VISIBLE : 0);
    window_ = CreateWindowExW(
        0, L"STATIC", caption.c_str(), style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!window_) {
        throw LastError();
    }
    SetWindowSubclass(window_, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    AutoSize();
}

void Label::SetFont(HFONT font) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Label::MoveTo(POINT topLeft) {
    SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Label::SetCaption(const std::wstring& caption) {
    SetWindowTextW(window_, caption.c_str());
}

void Label::SetVisible(bool visible) {
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

RECT Label::Bounds() const {
    RECT bounds = {};
    GetWindowRect(window_, &bounds);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

LRESULT CALLBACK Label::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
    Label& label = *reinterpret_cast<Label*>(self);
    switch (message) {
        case WM_SETTEXT:
            return label.OnSetText(wParam, lParam);
        case WM_SETFONT:
            label.OnSetFont(reinterpret_cast<HFONT>(wParam), lParam != 0);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // the background is the form's, drawn with the text
        case WM_PAINT:
            label.OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            label.Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, Subclass, kSubclassId);
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT Label::OnSetText(WPARAM wParam, LPARAM lParam) {
    // Kept as every window keeps its text; the static control would paint itself at
    // once, opaque, so it does not see the change.
    const LRESULT result = DefWindowProcW(window_, WM_SETTEXT, wParam, lParam);
    AutoSize();
    InvalidateRect(window_, nullptr, FALSE);
    return result;
}

void Label::OnSetFont(HFONT font, bool redraw) {
    font_ = font;
    // The static control keeps it too, for WM_GETFONT; it is told not to paint.
    DefSubclassProc(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    AutoSize();
    if (redraw) {
        InvalidateRect(window_, nullptr, FALSE);
    }
}

void Label::OnPaint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(window_, &paint);
    if (dc) {
        Paint(dc);
    }
    EndPaint(window_, &paint);
}

// Draws in a memory bitmap what the parent paints beneath the label, then the text, and
// puts the result on screen at once: transparent, without flicker or stale text.
void Label::Paint(HDC target) const {
    RECT client = {};
    GetClientRect(window_, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return;
    }
    ScopedMemoryDc memory(CreateCompatibleDC(target));
    ScopedBitmap bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!memory || !bitmap) {
        return;
    }
    const SelectedObject canvas(memory.Get(), bitmap.Get());
    const RECT bounds = Bounds();
    POINT origin = {};
    SetViewportOrgEx(memory.Get(), -bounds.left, -bounds.top, &origin);
    SendMessageW(GetParent(window_), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()),
                 PRF_CLIENT);
    SetViewportOrgEx(memory.Get(), origin.x, origin.y, nullptr);

    const SelectedObject font(memory.Get(), font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory.Get(), TRANSPARENT);
    SetTextColor(memory.Get(), color_);
    const std::wstring text = TextOf(window_);
    TextOutW(memory.Get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    BitBlt(target, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

// As wide as the caption and one line high; the parent's edge cuts off what lies beyond.
void Label::AutoSize() {
    const WindowDc dc(window_);
    if (!dc.Get()) {
        return;
    }
    const SelectedObject font(dc.Get(), font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = TextOf(window_);
    SIZE extent = {};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.Get(), &metrics);
    SetWindowPos(window_, nullptr, 0, 0, extent.cx + metrics.tmOverhang, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kiv
