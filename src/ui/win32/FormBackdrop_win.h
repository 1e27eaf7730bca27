#pragma once

#include <optional>

#include "platform/win32/Windows_win.h"
#include "ui/win32/DoubleBuffer_win.h"

namespace kiv {

// The form's painting, kept in a bitmap of the client area's size, so that a repaint
// of the form or of a label copies the part it needs instead of drawing the form again.
class FormBackdrop {
public:
    // What the backdrop shows; drawn again on next use.
    void Configure(HWND form, UINT dpi, HICON picture);
    void Invalidate() { valid_ = false; }
    // Copies the form's area `source` (client coordinates) to `target` at (x, y); false
    // when no bitmap could be made.
    bool CopyTo(HDC target, int x, int y, const RECT& source);
    // Puts the form's area `area` on `target` at the same place: copied from the bitmap,
    // or painted there directly when no bitmap could be made.
    void Draw(HDC target, const RECT& area);

private:
    bool Prepare();

    HWND form_ = nullptr;
    UINT dpi_ = 96;
    HICON picture_ = nullptr;
    bool valid_ = false;
    RECT client_ = {};
    std::optional<DoubleBuffer> buffer_;
};

}  // namespace kiv
