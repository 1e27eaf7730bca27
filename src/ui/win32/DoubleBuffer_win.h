#pragma once

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// A bitmap to draw in off screen, selected into a memory context of its own while the
// object lives, so that what is drawn reaches the screen in one step, without flicker.
class DoubleBuffer {
public:
    // Compatible with `like`; check that it could be made before drawing.
    DoubleBuffer(HDC like, int width, int height);
    ~DoubleBuffer();
    DoubleBuffer(const DoubleBuffer&) = delete;
    DoubleBuffer& operator=(const DoubleBuffer&) = delete;

    explicit operator bool() const { return original_ != nullptr; }
    HDC Dc() const { return dc_.Get(); }
    // Copies the buffer's area `source` to `target` at (x, y); false when that fails.
    bool CopyTo(HDC target, int x, int y, const RECT& source) const;

private:
    ScopedMemoryDc dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ original_ = nullptr;
};

}  // namespace kiv
