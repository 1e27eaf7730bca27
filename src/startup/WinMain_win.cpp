#include <windows.h>

#include "platform/Ports.h"
#include "platform/win32/Files_win.h"
#include "platform/win32/Modules_win.h"
#include "platform/win32/ShellFolders_win.h"
#include "platform/win32/StringTable_win.h"
#include "platform/win32/SystemDirs_win.h"

// The composition point: the real Windows behind every port.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    kiv::Win32StringTable strings(instance);
    kiv::Win32ShellFolders shell;
    kiv::Win32Modules modules;
    kiv::Win32SystemDirs dirs;
    kiv::Win32Files files;
    kiv::InstallPorts({&strings, &shell, &modules, &dirs, &files});
    return 0;
}
