#pragma once

#include "platform/win32/Windows_win.h"

#include "platform/RuntimeError.h"

namespace kiv {

// The runtime error number for a Win32 error code.
int32_t RuntimeNumberOf(DWORD win32Error);

// A RuntimeError for GetLastError() as it stands now.
RuntimeError LastError();
RuntimeError ErrorFromWin32(DWORD win32Error);

}  // namespace kiv
