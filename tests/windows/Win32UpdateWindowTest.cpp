#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/ScopedWin_win.h"
#include "ui/Controls.h"
#include "ui/FrmUpdate.h"
#include "ui/win32/Dpi_win.h"
#include "ui/win32/UpdateWindow_win.h"

namespace kiv {
namespace {

// What a window draws of its client area, pixel by pixel.
class Picture {
public:
    explicit Picture(HWND window) {
        RECT client = {};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        ScopedBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        {
            const SelectedObject canvas(dc.Get(), bitmap.Get());
            SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
            GdiFlush();
        }
        const auto* pixels = static_cast<const uint32_t*>(bits);
        pixels_.assign(pixels, pixels + width_ * height_);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const {
        const uint32_t bgr = pixels_.at(static_cast<size_t>(y * width_ + x));
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

class Win32UpdateWindowTest : public ::testing::Test {
protected:
    HWND Control(int id) const { return GetDlgItem(view_.Handle(), id); }
    HWND LabelWindow(int index) const { return Control(ui::LabelId(index)); }
    int Px(int twips) const { return TwipsToPixels(twips, DpiOfWindow(view_.Handle())); }
    RECT PlaceOf(HWND control) const {
        RECT place = {};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, view_.Handle(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    static std::wstring TextOf(HWND window) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        return text;
    }

    FrmUpdate form_;
    UpdateWindow view_{GetModuleHandleW(nullptr), form_};
};

TEST_F(Win32UpdateWindowTest, ControlsSitAtTheirDesignPlacesInTabOrder) {
    RECT client = {};
    GetClientRect(view_.Handle(), &client);
    EXPECT_EQ(client.right, Px(6060));
    EXPECT_EQ(client.bottom, Px(6285));
    const struct {
        int id;
        int left, top, width, height;
    } controls[] = {
        {ui::kCommand1Id, 4680, 5760, 1215, 375},
        {ui::kList1Id, 120, 2040, 5775, 3540},
        {ui::kProgressBarId, 1920, 1200, 3975, 300},
    };
    for (const auto& c : controls) {
        const RECT place = PlaceOf(Control(c.id));
        EXPECT_EQ(place.left, Px(c.left)) << c.id;
        EXPECT_EQ(place.top, Px(c.top)) << c.id;
        EXPECT_EQ(place.right - place.left, Px(c.left + c.width) - Px(c.left)) << c.id;
        EXPECT_EQ(place.bottom - place.top, Px(c.top + c.height) - Px(c.top)) << c.id;
    }
    const HWND progress = Control(ui::kProgressBarId);
    EXPECT_EQ(GetNextDlgTabItem(view_.Handle(), progress, FALSE), Control(ui::kList1Id));
    EXPECT_EQ(GetNextDlgTabItem(view_.Handle(), Control(ui::kList1Id), FALSE),
              Control(ui::kCommand1Id));
    EXPECT_EQ(GetNextDlgTabItem(view_.Handle(), Control(ui::kCommand1Id), FALSE), progress);
    EXPECT_EQ(GetWindowLongW(Control(ui::kCommand1Id), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    EXPECT_EQ(TextOf(Control(ui::kCommand1Id)), L"End");
}

TEST_F(Win32UpdateWindowTest, LabelsSizeThemselvesToTheirCaption) {
    const struct {
        int index;
        int left, top;
        const wchar_t* caption;
        bool visible;
    } labels[] = {
        {0, 80, 960, L"kiv", true},
        {1, 5500, 40, L"64-bit", false},
        {2, 2640, 240, L"Updating Software...", true},
        {8, 1920, 680, L"Label(8)", true},
        {21, 1920, 915, L"Label(21)", true},
    };
    for (const auto& l : labels) {
        const HWND label = LabelWindow(l.index);
        EXPECT_EQ(TextOf(label), l.caption) << l.index;
        EXPECT_EQ((GetWindowLongW(label, GWL_STYLE) & WS_VISIBLE) != 0, l.visible) << l.index;
        const RECT place = PlaceOf(label);
        EXPECT_EQ(place.left, Px(l.left)) << l.index;
        EXPECT_EQ(place.top, Px(l.top)) << l.index;
    }

    const HWND file = LabelWindow(8);
    const RECT design = PlaceOf(file);
    view_.SetLabelCaption(8, " a much longer caption than the design one");
    const RECT longer = PlaceOf(file);
    view_.SetLabelCaption(8, " ...");
    const RECT shorter = PlaceOf(file);
    EXPECT_EQ(TextOf(file), L" ...");
    EXPECT_GT(longer.right - longer.left, design.right - design.left);
    EXPECT_LT(shorter.right - shorter.left, design.right - design.left);
    for (const RECT& place : {longer, shorter}) {
        EXPECT_EQ(place.left, design.left);
        EXPECT_EQ(place.top, design.top);
        EXPECT_EQ(place.bottom - place.top, design.bottom - design.top);
    }
    view_.SetLabelVisible(1, true);
    EXPECT_NE(GetWindowLongW(LabelWindow(1), GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(Win32UpdateWindowTest, LabelDrawsItsTextOverTheFormBeneath) {
    const Picture form(view_.Handle());
    const HWND emblem = LabelWindow(0);
    const Picture label(emblem);
    const RECT place = PlaceOf(emblem);
    ASSERT_GT(label.Width(), 0);
    int text = 0;
    int mismatched = 0;
    for (int y = 0; y < label.Height(); ++y) {
        for (int x = 0; x < label.Width(); ++x) {
            const COLORREF beneath = form.At(place.left + x, place.top + y);
            if (label.At(x, y) == RGB(255, 255, 255) && beneath != RGB(255, 255, 255)) {
                ++text;
            } else if (label.At(x, y) != beneath && GetRValue(label.At(x, y)) < 200) {
                ++mismatched;  // neither the picture beneath nor (part of) white text
            }
        }
    }
    EXPECT_GT(text, 0);
    EXPECT_EQ(mismatched, 0);
    EXPECT_EQ(label.At(0, 0), form.At(place.left, place.top));
    EXPECT_NE(form.At(place.left, place.top), GetSysColor(COLOR_WINDOW));  // orange there
}

TEST_F(Win32UpdateWindowTest, ProgressBarShowsItsColourUpToItsValue) {
    EXPECT_EQ(view_.ProgressMin(), 0);
    EXPECT_EQ(view_.ProgressMax(), 100);
    EXPECT_EQ(view_.ProgressValue(), 0);
    view_.SetProgressValue(50);
    EXPECT_EQ(view_.ProgressValue(), 50);
    const Picture bar(Control(ui::kProgressBarId));
    const int middle = bar.Height() / 2;
    EXPECT_EQ(bar.At(bar.Width() / 4, middle), RGB(185, 79, 0));
    EXPECT_EQ(bar.At(bar.Width() * 3 / 4, middle), GetSysColor(COLOR_WINDOW));
}

}  // namespace
}  // namespace kiv
