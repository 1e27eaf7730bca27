#include "platform/win32/Windows_win.h"

#include <commctrl.h>

#include "platform/Ports.h"
#include "platform/win32/Files_win.h"
#include "platform/win32/Modules_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/ShellFolders_win.h"
#include "platform/win32/StringTable_win.h"
#include "platform/win32/SystemDirs_win.h"
#include "platform/win32/Threads_win.h"
#include "startup/ModUpdate.h"
#include "ui/win32/ViewFactory_win.h"

// The composition point: the real Windows behind every port. The manifest makes the
// process dpi-aware and asks for the common controls of version 6.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // COM on this thread for the life of the program: the shell's folder calls and the
    // components' registration entry points expect it.
    const kiv::ScopedComApartment com;

    kiv::Win32StringTable strings(instance);
    kiv::Win32ShellFolders shell;
    kiv::Win32Modules modules;
    kiv::Win32SystemDirs dirs;
    kiv::Win32Files files;
    kiv::Win32Runtime runtime;
    kiv::Win32ViewFactory views(instance);
    kiv::Win32Threads threads;
    kiv::Win32Processes processes;

    kiv::Ports ports;
    ports.strings = &strings;
    ports.shell = &shell;
    ports.modules = &modules;
    ports.dirs = &dirs;
    ports.files = &files;
    ports.runtime = &runtime;
    ports.views = &views;
    ports.threads = &threads;
    ports.processes = &processes;
    kiv::InstallPorts(ports);

    // Main under the standard report of an error that nothing handled.
    return kiv::RunMain();
}
