#include "ui/win32/DoubleBuffer_win.h"

namespace kiv {

DoubleBuffer::DoubleBuffer(HDC like, int width, int height)
    : dc_(CreateCompatibleDC(like)), bitmap_(CreateCompatibleBitmap(like, width, height)) {
    if (dc_ && bitmap_) {
        original_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
}

// The bitmap leaves the memory context before either is deleted.
DoubleBuffer::~DoubleBuffer() {
    if (original_) {
        SelectObject(dc_.Get(), original_);
    }
}

bool DoubleBuffer::CopyTo(HDC target, int x, int y, const RECT& source) const {
    return BitBlt(target, x, y, source.right - source.left, source.bottom - source.top, dc_.Get(),
                  source.left, source.top, SRCCOPY) != FALSE;
}

}  // namespace kiv
