#pragma once

#include <cstdint>

#include "platform/win32/Windows_win.h"

namespace kiv {

// The progress indicator: a common progress control, so that it answers PBM_GETPOS and
// PBM_GETRANGE, painted here as a flat bar in its own colour, which visual styles would
// otherwise replace with the theme's.
class ProgressBar {
public:
    // Raises RuntimeError when the window cannot be made. Range 0 to 100, at 0.
    ProgressBar(HWND parent, int controlId, COLORREF barColor);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    HWND Handle() const { return window_; }
    // The range and position this object gave the control: reading them costs no message.
    int32_t Value() const { return value_; }
    int32_t Minimum() const { return minimum_; }
    int32_t Maximum() const { return maximum_; }
    // Moves the bar and repaints it at once.
    void SetValue(int32_t value);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void Paint(HDC dc) const;

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
    COLORREF barColor_;
    int32_t minimum_ = 0;
    int32_t maximum_ = 100;
    int32_t value_ = 0;
};

}  // namespace kiv
