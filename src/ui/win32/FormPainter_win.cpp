#include "ui/win32/FormPainter_win.h"

#include "ui/win32/Dpi_win.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

namespace {

// Image1: an orange square shading from light at the top to dark at the bottom. Each row of
// pixels takes the colour a vertical GradientFill gives it, drawn without msimg32.dll: that
// library is not one Windows always maps from the system folder, so importing it would let
// a copy beside the program be loaded in its place.
void PaintImage1(HDC dc, UINT dpi) {
    const RECT area = layout::PixelsOf(layout::kImage1, dpi);
    const int height = area.bottom - area.top;
    const auto shade = [height](int top, int bottom, int row) {
        return static_cast<BYTE>((top * (height - row) + bottom * row) / height);
    };
    const COLORREF top = layout::kImage1Top, bottom = layout::kImage1Bottom;
    const COLORREF before = GetDCBrushColor(dc);
    for (int row = 0; row < height; ++row) {
        SetDCBrushColor(dc, RGB(shade(GetRValue(top), GetRValue(bottom), row),
                                shade(GetGValue(top), GetGValue(bottom), row),
                                shade(GetBValue(top), GetBValue(bottom), row)));
        const RECT line = {area.left, area.top + row, area.right, area.top + row + 1};
        FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    SetDCBrushColor(dc, before);
}

}  // namespace

void PaintUpdateForm(HDC dc, const RECT& client, UINT dpi, HICON picture) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    PaintImage1(dc, dpi);
    for (const int left : layout::kShapeLefts) {
        const RECT square =
            TwipsToRect(left, layout::kShapeTop, layout::kShapeSize, layout::kShapeSize, dpi);
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    if (picture) {
        const RECT place = layout::PixelsOf(layout::kImgMain, dpi);
        DrawIconEx(dc, place.left, place.top, picture, place.right - place.left,
                   place.bottom - place.top, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace kiv
