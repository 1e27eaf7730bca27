#include "ui/win32/Label_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "ui/win32/DoubleBuffer_win.h"
#include "ui/win32/FormBackdrop_win.h"
#include "ui/win32/Subclass_win.h"

namespace kiv {

Label::Label(HWND parent, int controlId, COLORREF color, const std::wstring& caption, bool visible)
    : color_(color), caption_(caption) {
    const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX | (visible ? WS_VISIBLE : 0);
    window_ = CreateWindowExW(
        0, L"STATIC", caption.c_str(), style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!window_) {
        throw LastError();
    }
    measure_.Reset(CreateCompatibleDC(nullptr));
    if (measure_) {
        measureFont_ = SelectObject(measure_.Get(), GetStockObject(DEFAULT_GUI_FONT));
    }
    original_ = Subclass(window_, this, Procedure);
    AutoSize();
}

Label::~Label() {
    if (measure_ && measureFont_) {
        SelectObject(measure_.Get(), measureFont_);
    }
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

LRESULT CALLBACK Label::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* label = reinterpret_cast<Label*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!label) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_SETTEXT:
            return label->OnSetText(wParam, lParam);
        case WM_SETFONT:
            label->OnSetFont(reinterpret_cast<HFONT>(wParam), lParam != 0);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // the background is the form's, drawn with the text
        case WM_PAINT:
            label->OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            label->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_NCDESTROY:
            label->window_ = nullptr;
            return Unsubclass(window, label->original_, message, wParam, lParam);
    }
    return CallWindowProcW(label->original_, window, message, wParam, lParam);
}

LRESULT Label::OnSetText(WPARAM wParam, LPARAM lParam) {
    // Kept as every window keeps its text; the static control would paint itself at
    // once, opaque, so it does not see the change.
    const LRESULT result = DefWindowProcW(window_, WM_SETTEXT, wParam, lParam);
    const auto* text = reinterpret_cast<const wchar_t*>(lParam);
    caption_ = text ? text : L"";
    AutoSize();
    InvalidateRect(window_, nullptr, FALSE);
    return result;
}

void Label::OnSetFont(HFONT font, bool redraw) {
    font_ = font;
    if (measure_) {
        SelectObject(measure_.Get(), font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    }
    // The static control keeps it too, for WM_GETFONT; it is told not to paint.
    CallWindowProcW(original_, window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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

// Draws in a memory bitmap what the form shows beneath the label, then the text, and
// puts the result on screen at once: transparent, without flicker or stale text.
void Label::Paint(HDC target) const {
    RECT client = {};
    GetClientRect(window_, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return;
    }
    const DoubleBuffer buffer(target, client.right, client.bottom);
    if (!buffer) {
        return;
    }
    const HDC memory = buffer.Dc();
    const RECT bounds = Bounds();
    if (!backdrop_ || !backdrop_->CopyTo(memory, 0, 0, bounds)) {
        POINT origin = {};
        SetViewportOrgEx(memory, -bounds.left, -bounds.top, &origin);
        SendMessageW(GetParent(window_), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                     PRF_CLIENT);
        SetViewportOrgEx(memory, origin.x, origin.y, nullptr);
    }

    const SelectedObject font(memory, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, color_);
    TextOutW(memory, 0, 0, caption_.c_str(), static_cast<int>(caption_.size()));
    buffer.CopyTo(target, 0, 0, client);
}

// As wide as the caption and one line high; the parent's edge cuts off what lies beyond.
// The window is resized only when the size changes.
void Label::AutoSize() {
    if (!measure_) {
        return;
    }
    SIZE extent = {};
    GetTextExtentPoint32W(measure_.Get(), caption_.c_str(), static_cast<int>(caption_.size()),
                          &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(measure_.Get(), &metrics);
    const SIZE size = {extent.cx + metrics.tmOverhang, metrics.tmHeight};
    if (size.cx == size_.cx && size.cy == size_.cy) {
        return;
    }
    size_ = size;
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kiv
