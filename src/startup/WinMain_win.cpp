#include "platform/win32/Windows_win.h"

#include <commctrl.h>

#include <string>
#include <type_traits>

#include "engine/PassState.h"
#include "platform/Ports.h"
#include "platform/win32/Bind_win.h"
#include "platform/win32/FileListing_win.h"
#include "platform/win32/Modules_win.h"
#include "platform/win32/OwnImage_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/RegistrationChild_win.h"
#include "platform/win32/Registrations_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/ShellFolders_win.h"
#include "platform/win32/Signatures_win.h"
#include "platform/win32/StringTable_win.h"
#include "platform/win32/SystemDirs_win.h"
#include "platform/win32/SystemPaths_win.h"
#include "startup/ModUpdate.h"
#include "trust/Publisher.h"
#include "ui/win32/ViewFactory_win.h"

#include <optional>

namespace {

// Bound by name: kernel32 has it from Windows 8 on, and on Windows 7 with KB2533623. Its type
// is written out, not taken from the SDK (KIV_BOUND_CALL), because an SDK set for Windows 7
// does not declare it.
using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
#if defined(__MINGW32__) || _WIN32_WINNT >= 0x0602
static_assert(std::is_same_v<SetDefaultDllDirectoriesCall, decltype(&SetDefaultDllDirectories)>);
#endif

// DLLs that the system's own DLLs load by name once windows exist, which Windows does not
// map from the system folder of its own accord (not KnownDLLs). Seen under wine: the
// themed controls load uxtheme.dll, which loads msimg32.dll.
constexpr const wchar_t* kLoadedLaterByTheSystem[] = {L"uxtheme.dll", L"msimg32.dll"};

SetDefaultDllDirectoriesCall BoundSetDefaultDllDirectories() {
    return kiv::BoundCall<SetDefaultDllDirectoriesCall>(GetModuleHandleW(L"kernel32.dll"),
                                                        "SetDefaultDllDirectories");
}

// Loaded by full path, so that the system's later loads by name find them loaded; their
// own dependencies are looked for in the system folder too.
void LoadFromTheSystemFolder() {
    const std::wstring system = kiv::SystemDirectoryW();
    if (system.empty()) {
        return;  // never a name alone: that is the search this closes
    }
    for (const wchar_t* name : kLoadedLaterByTheSystem) {
        kiv::LoadLibraryConfined(system + L'\\' + name, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

// The composition point: the real Windows behind every port. The manifest makes the
// process dpi-aware and asks for the common controls of version 6.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The program runs elevated from a folder that ordinary users may be able to write, so
    // no DLL may come from there or from the current folder. It imports only KnownDLLs
    // (scripts/check-binary); before anything else, every later search by name is confined
    // to the system folder, and where that call is missing, the preloads below still keep
    // the known later loads out of reach.
    if (const SetDefaultDllDirectoriesCall confine = BoundSetDefaultDllDirectories()) {
        confine(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    LoadFromTheSystemFolder();
    // A start the program made to run one component's registration code ends here.
    kiv::ServeRegistrationIfAsked();
    const kiv::OwnImage image;
    // Loads comctl32 (bound at run time: CommonControls_win.cpp), before any window exists.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // COM on this thread for the life of the program: the shell's folder calls expect it.
    const kiv::ScopedComApartment com;

    kiv::Win32StringTable strings(instance);
    kiv::Win32ShellFolders shell;
    kiv::Win32Modules modules;
    kiv::Win32SystemDirs dirs;
    kiv::Win32Files files;
    kiv::Win32Runtime runtime;
    kiv::Win32ViewFactory views(instance);
    kiv::Win32Registrations registrations(image.Path());
    kiv::Win32Processes processes(kiv::Win32Processes::Lifetime::EndsWithProgram);
    // The pass's state, with the build's pins; only a build that has them reads signatures.
    kiv::PassState state;
    state.PublisherPins = kiv::ParsePins(KIV_PUBLISHER_PINS);
    std::optional<kiv::Win32Signatures> signatures;
    if (!state.PublisherPins.empty()) {
        signatures.emplace();
    }

    kiv::Ports ports;
    ports.strings = &strings;
    ports.shell = &shell;
    ports.modules = &modules;
    ports.dirs = &dirs;
    ports.files = &files;
    ports.runtime = &runtime;
    ports.views = &views;
    ports.registrations = &registrations;
    ports.processes = &processes;
    ports.signatures = signatures ? &*signatures : nullptr;
    kiv::InstallPorts(ports);

    // Main under the standard report of an error that nothing handled; the process ends
    // as End ends it, the pass's thread perhaps still on its way out.
    runtime.End(kiv::RunMain(state));
}
