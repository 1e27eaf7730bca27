#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// Paints what the update form itself draws, beneath its controls: the background, the
// orange picture, the five white squares and the program's picture (when there is one).
void PaintUpdateForm(HDC dc, const RECT& client, UINT dpi, HICON picture);

}  // namespace kiv
