#pragma once

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"
#include "ui/Controls.h"
#include "ui/win32/Font_win.h"

// The update window as it was designed: places and sizes in twips from the top-left
// corner of the client area, colours and fonts.
namespace kiv::layout {

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// No caption, no system menu, no sizing: a thin border around a fixed client area.
constexpr DWORD kWindowStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr int kClientWidth = 6060;
constexpr int kClientHeight = 6285;

constexpr TwipRect kCommand1 = {4680, 5760, 1215, 375};
constexpr TwipRect kList1 = {120, 2040, 5775, 3540};
constexpr TwipRect kProgressBar = {1920, 1200, 3975, 300};
constexpr COLORREF kProgressBarColor = RGB(185, 79, 0);

constexpr FontDesign kWindowFont = {L"MS Sans Serif", 825, false};
constexpr FontDesign kEmblemFont = {L"Arial", 2775, true};
constexpr FontDesign kHeadingFont = {L"Arial", 1200, true};

enum class LabelFont { Window, Emblem, Heading };

struct LabelLayout {
    int index;
    int left;
    int top;
    COLORREF color;
    LabelFont font;
    bool visible;
};

// From the top of the drawing order down. Each label sizes itself to its caption.
constexpr LabelLayout kLabels[] = {
    {label::Bitness, 5500, 40, RGB(192, 192, 192), LabelFont::Window, false},
    {label::Emblem, 80, 960, RGB(255, 255, 255), LabelFont::Emblem, true},
    {label::Step, 1920, 915, RGB(0, 0, 0), LabelFont::Window, true},
    {label::Heading, 2640, 240, RGB(21, 67, 142), LabelFont::Heading, true},
    {label::File, 1920, 680, RGB(0, 0, 0), LabelFont::Window, true},
};

// What the form paints beneath the labels.
constexpr TwipRect kImage1 = {-40, 0, 1770, 1710};
constexpr COLORREF kImage1Top = RGB(255, 178, 84);
constexpr COLORREF kImage1Bottom = RGB(196, 82, 0);
constexpr TwipRect kImgMain = {1920, 120, 480, 480};
constexpr int kShapeLefts[] = {720, 1020, 1320, 420, 120};  // Shape(5) to Shape(9)
constexpr int kShapeTop = 195;
constexpr int kShapeSize = 255;

// A designed place in pixels at a dpi.
RECT PixelsOf(const TwipRect& r, UINT dpi);

}  // namespace kiv::layout

namespace kiv {

class FormBackdrop;
class UpdateControls;

// The window and its controls placed, sized and given their fonts for a dpi, with the
// program's picture at the size the dpi gives it.
class UpdateLayout {
public:
    UpdateLayout(HINSTANCE instance, HWND window, UpdateControls& controls, FormBackdrop& backdrop);
    UpdateLayout(const UpdateLayout&) = delete;
    UpdateLayout& operator=(const UpdateLayout&) = delete;

    // Centred on the screen without topLeft; after a dpi change, where Windows suggests.
    void Apply(UINT dpi, const POINT* topLeft);

private:
    struct Fonts {
        ScopedFont window;
        ScopedFont emblem;
        ScopedFont heading;
        HFONT Of(layout::LabelFont font) const;
    };

    void PlaceWindow(UINT dpi, const POINT* topLeft);
    void PlaceControls(UINT dpi, const Fonts& fonts);

    HINSTANCE instance_;
    HWND window_;
    UpdateControls& controls_;
    FormBackdrop& backdrop_;
    Fonts fonts_;
    ScopedIcon picture_;
};

}  // namespace kiv
