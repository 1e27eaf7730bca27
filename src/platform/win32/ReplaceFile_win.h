#pragma once

#include <string>
#include <vector>

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

struct ListedFile;

// A copy or an installed file that is not its signed entry (size, time or content). Bit 29
// marks an application's own code: no system call gives it.
constexpr DWORD kNotAsListed = 0x20000000 | 1;

// The names a copy to destination may be written under before it is moved into place, in
// the order tried. Each is a name of the program's own that fits within the 255 characters
// of one name, whatever the destination's, and each is the same on every run for the same
// destination, so that the next copy there removes what a killed run left.
std::vector<std::wstring> TemporaryNames(const std::wstring& destination);

// Opens a file to copy from, with read sharing only, so that no other program can change it
// while it is copied; one that another program holds open for writing is waited for a
// moment (two seconds). Sets the Win32 error when it gives no handle.
ScopedKernelHandle OpenToCopy(const std::wstring& source, DWORD& error);

// Copies the open source to a new temporary file beside destination, flushes it to the disk
// and moves it over destination in one step, waiting out a moment's hold on destination.
// The file is created only where nothing is, so nothing is ever written through a link; what
// holds a name is removed (a link as a link) and the name tried again, and the next name is
// taken when it cannot be removed. The copy keeps the source's last-modified time and
// attributes, but never read-only, and, when replacing, the installed file's owner and access
// list. Given the source's signed entry, what was read is hashed as it is copied and held
// against the entry before anything is moved (kNotAsListed). Gives the Win32 error of the step
// that failed, or ERROR_SUCCESS.
DWORD ReplaceWithCopy(HANDLE source, const std::wstring& destination, bool replacing,
                      const ListedFile* listed);

// Reads an open file from its start to its end and holds it against its signed entry:
// ERROR_SUCCESS, kNotAsListed, or the read's error.
DWORD CheckAgainstListed(HANDLE file, const ListedFile& listed);

}  // namespace kiv
