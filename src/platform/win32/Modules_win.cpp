#include "platform/win32/Modules_win.h"

#include <windows.h>

#include "platform/win32/Strconv_win.h"
#include "platform/win32/SystemPaths_win.h"

namespace kiv {

namespace {

HMODULE AsModule(ModuleHandle handle) {
    return reinterpret_cast<HMODULE>(handle);
}
ModuleHandle AsHandle(HMODULE module) {
    return reinterpret_cast<ModuleHandle>(module);
}

}  // namespace

ModuleHandle Win32Modules::GetLoaded(const std::string& name) {
    return AsHandle(GetModuleHandleW(ToWide(name).c_str()));
}

ModuleHandle Win32Modules::LoadSystemLibrary(const std::string& name) {
    // The program runs elevated from a folder ordinary users can write to: a library of
    // the system must never be picked up from there, so search the system directory only.
    const std::wstring system = SystemDirectoryW();
    return system.empty() ? 0
                          : AsHandle(LoadLibraryConfined(system + L"\\" + ToWide(name),
                                                         LOAD_LIBRARY_SEARCH_SYSTEM32));
}

ProcAddress Win32Modules::Find(ModuleHandle module, const std::string& exportName) {
    return reinterpret_cast<ProcAddress>(GetProcAddress(AsModule(module), exportName.c_str()));
}

void Win32Modules::Free(ModuleHandle module) {
    FreeLibrary(AsModule(module));
}

}  // namespace kiv
