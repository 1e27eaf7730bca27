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
    int32_t Value() const;
    int32_t Minimum() const;
    int32_t Maximum() const;
    void SetValue(int32_t value);

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    void OnPaint();
    void Paint(HDC dc) const;

    HWND window_ = nullptr;
    COLORREF barColor_;
};

}  // namespace kiv
