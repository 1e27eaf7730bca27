#include "ui/win32/FormPainter_win.h"

#include "ui/win32/Dpi_win.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

namespace {

RECT PixelsOf(const layout::TwipRect& r, UINT dpi) {
    return TwipsToRect(r.left, r.top, r.width, r.height, dpi);
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF color) {
    TRIVERTEX vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    vertex.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    vertex.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    return vertex;
}

// Image1: an orange square shading from light at the top to dark at the bottom.
void PaintImage1(HDC dc, UINT dpi) {
    const RECT area = PixelsOf(layout::kImage1, dpi);
    TRIVERTEX corners[] = {Vertex(area.left, area.top, layout::kImage1Top),
                           Vertex(area.right, area.bottom, layout::kImage1Bottom)};
    GRADIENT_RECT rect = {0, 1};
    GradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
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
        const RECT place = PixelsOf(layout::kImgMain, dpi);
        DrawIconEx(dc, place.left, place.top, picture, place.right - place.left,
                   place.bottom - place.top, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace kiv
