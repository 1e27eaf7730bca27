#pragma once

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// Paints what the update form itself draws, beneath its controls: the background, the
// orange picture, the five white squares and the program's picture (when there is one).
void PaintUpdateForm(HDC dc, const RECT& client, UINT dpi, HICON picture);

// The form's painting, kept in a bitmap of the client area's size, so that a repaint
// of the form or of a label copies the part it needs instead of drawing the form again.
class FormBackdrop {
public:
    FormBackdrop() = default;
    ~FormBackdrop();
    FormBackdrop(const FormBackdrop&) = delete;
    FormBackdrop& operator=(const FormBackdrop&) = delete;

    // What the backdrop shows; drawn again on next use.
    void Configure(HWND form, UINT dpi, HICON picture);
    void Invalidate() { valid_ = false; }
    // Copies the form's area `source` (client coordinates) to `target` at (x, y); false
    // when no bitmap could be made.
    bool CopyTo(HDC target, int x, int y, const RECT& source);

private:
    bool Prepare();

    HWND form_ = nullptr;
    UINT dpi_ = 96;
    HICON picture_ = nullptr;
    bool valid_ = false;
    RECT client_ = {};
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ original_ = nullptr;
};

}  // namespace kiv
