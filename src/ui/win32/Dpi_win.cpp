#include "ui/win32/Dpi_win.h"

#include "platform/win32/ScopedWin_win.h"

namespace kiv {

namespace {

constexpr int kTwipsPerInch = 1440;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Windows 10 1607 and later know each window's dpi; older ones only the system's.
GetDpiForWindowFunction GetDpiForWindowEntry() {
    static const auto entry =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return entry;
}

}  // namespace

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

RECT TwipsToRect(int left, int top, int width, int height, UINT dpi) {
    const int x = TwipsToPixels(left, dpi);
    const int y = TwipsToPixels(top, dpi);
    return {x, y, x + TwipsToPixels(width, dpi), y + TwipsToPixels(height, dpi)};
}

UINT SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiOfWindow(HWND window) {
    const auto entry = GetDpiForWindowEntry();
    const UINT dpi = entry && window ? entry(window) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

}  // namespace kiv
