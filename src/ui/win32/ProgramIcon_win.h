#pragma once

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// The program's icon at a size in pixels; none in a program without the icon resource
// (a test).
ScopedIcon LoadProgramIcon(HINSTANCE instance, int size);

}  // namespace kiv
