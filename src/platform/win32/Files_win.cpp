#include "platform/win32/Files_win.h"

#include <windows.h>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

uint32_t Win32Files::GetAttributes(const std::string& path) {
    if (path.empty()) {
        throw RuntimeError(err::FileNotFound);
    }
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw LastError();
    }
    return attributes;
}

}  // namespace kiv
