#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// Form measures are in twips: 1440 to the inch, 15 to the pixel at 96 dpi.
int TwipsToPixels(int twips, UINT dpi);
RECT TwipsToRect(int left, int top, int width, int height, UINT dpi);

// The dpi a window is drawn at: its monitor's where Windows tells it, else the system's.
UINT DpiOfWindow(HWND window);
UINT SystemDpi();

}  // namespace kiv
