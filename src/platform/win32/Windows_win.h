#pragma once

#include <windows.h>

// Two operations of the program carry the names that <windows.h> gives to macros over
// its A/W pairs. The Win32 layer always calls the W entry points by their full name, so
// the macros only get in the way of the program's own members.
#undef CopyFile
#undef MessageBox
