#pragma once

#include <string>

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

class FormBackdrop;

// A label of the form: a static text window (so that screen readers and other programs
// read its caption with GetWindowText) that draws its text only, over what the form
// painted beneath it, and sizes itself to its caption with its top-left corner fixed.
class Label {
public:
    // Raises RuntimeError when the window cannot be made.
    Label(HWND parent, int controlId, COLORREF color, const std::wstring& caption, bool visible);
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    HWND Handle() const { return window_; }
    // The font is the caller's and must outlive its use here.
    void SetFont(HFONT font);
    void MoveTo(POINT topLeft);
    void SetCaption(const std::wstring& caption);
    const std::wstring& Caption() const { return caption_; }
    void SetVisible(bool visible);
    // The label's place in its parent's client area.
    RECT Bounds() const;
    // Where the form's painting beneath the label comes from; without one the label asks
    // the form to draw itself (WM_PRINTCLIENT) on every paint.
    void SetBackdrop(FormBackdrop* backdrop) { backdrop_ = backdrop; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSetFont(HFONT font, bool redraw);
    void OnPaint();
    void Paint(HDC target) const;
    void AutoSize();

    HWND window_ = nullptr;
    // The static control's own procedure, which the label's stands in front of. Kept
    // per window rather than looked up in a window property on every message.
    WNDPROC original_ = nullptr;
    HFONT font_ = nullptr;
    COLORREF color_;
    std::wstring caption_;
    SIZE size_ = {-1, -1};
    FormBackdrop* backdrop_ = nullptr;
    // Measures captions; made once, with the label's font selected.
    ScopedMemoryDc measure_;
    HGDIOBJ measureFont_ = nullptr;
};

}  // namespace kiv
