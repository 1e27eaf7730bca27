#pragma once

#include <string>

#include "platform/win32/ScopedWin_win.h"

namespace kiv {

// The desktop shell's process, opened to be the parent of a start and to read its token;
// none where there is no shell window (wine 8) or where it may not be opened, as when the
// program was elevated with another account's password.
ScopedKernelHandle OpenDesktopShell();

// Starts a command line as a child of `parent`, which gives it the parent's token, with the
// environment of that token's user and the show state given; none, having started nothing,
// where it cannot be started so (ERROR_ELEVATION_REQUIRED, for one, from a program that
// asks for administrator rights itself).
ScopedKernelHandle StartAsChildOf(HANDLE parent, const std::string& commandLine, int showState);

// A start as a child of the desktop shell; false where there is none or the start fails.
bool StartAsDesktopUser(const std::string& commandLine, int showState);

}  // namespace kiv
