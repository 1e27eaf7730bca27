#include "ui/win32/Font_win.h"

namespace kiv {

ScopedFont MakeFont(const FontDesign& design, UINT dpi) {
    constexpr int kHundredthsOfPointPerInch = 7200;
    // A negative height asks for the character height, as point sizes are meant.
    const int height =
        -MulDiv(design.hundredthsOfPoint, static_cast<int>(dpi), kHundredthsOfPointPerInch);
    return ScopedFont(CreateFontW(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, design.face));
}

}  // namespace kiv
