#include "ui/win32/ProgramIcon_win.h"

#include "resource.h"

namespace kiv {

ScopedIcon LoadProgramIcon(HINSTANCE instance, int size) {
    return ScopedIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KIVUPDATE),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace kiv
