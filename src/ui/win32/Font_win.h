#pragma once

#include "platform/win32/ScopedWin_win.h"

namespace kiv {

struct FontDesign {
    const wchar_t* face;
    int hundredthsOfPoint;  // 825 is 8.25 point
    bool bold;
};

// The font at a dpi; a face the system lacks falls back to its nearest sans serif.
ScopedFont MakeFont(const FontDesign& design, UINT dpi);

}  // namespace kiv
