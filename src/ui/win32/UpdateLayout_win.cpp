#include "ui/win32/UpdateLayout_win.h"

#include <utility>

#include "ui/win32/Dpi_win.h"
#include "ui/win32/FormBackdrop_win.h"
#include "ui/win32/ProgramIcon_win.h"
#include "ui/win32/UpdateControls_win.h"

namespace kiv {

RECT layout::PixelsOf(const TwipRect& r, UINT dpi) {
    return TwipsToRect(r.left, r.top, r.width, r.height, dpi);
}

namespace {

void Place(HWND control, const layout::TwipRect& r, UINT dpi) {
    const RECT place = layout::PixelsOf(r, dpi);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

UpdateLayout::UpdateLayout(HINSTANCE instance, HWND window, UpdateControls& controls,
                           FormBackdrop& backdrop)
    : instance_(instance), window_(window), controls_(controls), backdrop_(backdrop) {}

void UpdateLayout::Apply(UINT dpi, const POINT* topLeft) {
    // The fonts in use are replaced only once every control has the new ones.
    Fonts fonts = {MakeFont(layout::kWindowFont, dpi), MakeFont(layout::kEmblemFont, dpi),
                   MakeFont(layout::kHeadingFont, dpi)};
    picture_ = LoadProgramIcon(instance_, TwipsToPixels(layout::kImgMain.width, dpi));
    backdrop_.Configure(window_, dpi, picture_.Get());
    PlaceWindow(dpi, topLeft);
    PlaceControls(dpi, fonts);
    fonts_ = std::move(fonts);
    InvalidateRect(window_, nullptr, FALSE);
}

void UpdateLayout::PlaceWindow(UINT dpi, const POINT* topLeft) {
    RECT frame = {0, 0, TwipsToPixels(layout::kClientWidth, dpi),
                  TwipsToPixels(layout::kClientHeight, dpi)};
    AdjustWindowRectEx(&frame, layout::kWindowStyle, FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const POINT place = topLeft ? *topLeft
                                : POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
    SetWindowPos(window_, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void UpdateLayout::PlaceControls(UINT dpi, const Fonts& fonts) {
    const HWND command1 = controls_.Command1();
    const HWND list = controls_.List().Handle();
    Place(command1, layout::kCommand1, dpi);
    Place(list, layout::kList1, dpi);
    Place(controls_.Bar().Handle(), layout::kProgressBar, dpi);
    SendMessageW(command1, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.window.Get()), TRUE);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.window.Get()), TRUE);
    for (const auto& design : layout::kLabels) {
        Label& label = controls_.LabelAt(design.index);
        label.MoveTo({TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi)});
        label.SetFont(fonts.Of(design.font));
    }
}

HFONT UpdateLayout::Fonts::Of(layout::LabelFont font) const {
    switch (font) {
        case layout::LabelFont::Emblem:
            return emblem.Get();
        case layout::LabelFont::Heading:
            return heading.Get();
        case layout::LabelFont::Window:
            break;
    }
    return window.Get();
}

}  // namespace kiv
