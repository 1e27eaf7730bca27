#pragma once

#include <string>

#include "platform/win32/Windows_win.h"

#ifndef LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace kiv {

// The system directory as Windows reports it, empty when it cannot be read.
std::wstring SystemDirectoryW();

// Loads the library at a full path, its own lookups confined by the search flags. Systems
// that refuse the flags (Windows 7 without KB2533623) get the search order that starts
// beside the library instead.
HMODULE LoadLibraryConfined(const std::wstring& path, DWORD searchFlags);

}  // namespace kiv
