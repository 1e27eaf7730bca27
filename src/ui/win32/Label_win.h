#pragma once

#include <string>

#include "platform/win32/Windows_win.h"

namespace kiv {

// A label of the form: a static text window (so that screen readers and other programs
// read its caption with GetWindowText) that draws its text only, over what the form
// painted beneath it, and sizes itself to its caption with its top-left corner fixed.
class Label {
public:
    // Raises RuntimeError when the window cannot be made.
    Label(HWND parent, int controlId, COLORREF color, const std::wstring& caption, bool visible);
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    HWND Handle() const { return window_; }
    // The font is the caller's and must outlive its use here.
    void SetFont(HFONT font);
    void MoveTo(POINT topLeft);
    void SetCaption(const std::wstring& caption);
    void SetVisible(bool visible);
    // The label's place in its parent's client area.
    RECT Bounds() const;

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSetFont(HFONT font, bool redraw);
    void OnPaint();
    void Paint(HDC target) const;
    void AutoSize();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    COLORREF color_;
};

}  // namespace kiv
