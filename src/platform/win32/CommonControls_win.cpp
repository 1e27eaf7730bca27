// The one common-controls entry point the program calls, bound at run time instead of
// imported. comctl32.dll is not one of the DLLs every Windows maps from the system folder
// (the KnownDLLs), and a static import is resolved before the program's first line can
// narrow the search for it. The build defines _COMCTL32_, so <commctrl.h> declares it as
// an ordinary function, and the definition below takes the place of the import library.
#include <windows.h>

#include <commctrl.h>

// By name, so that the manifest's side-by-side redirection hands over the version 6
// controls it asks for (from the WinSxS store, which it consults before any folder); the
// search flag keeps every other lookup to the system folder. Systems without the flag
// refuse it, and there the redirection still comes before the search. The type is the
// SDK's own declaration of the function, so the binding cannot drift from it.
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    HMODULE module = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadLibraryW(L"comctl32.dll");
    }
    const auto call =
        module ? reinterpret_cast<decltype(&InitCommonControlsEx)>(
                     reinterpret_cast<void*>(GetProcAddress(module, "InitCommonControlsEx")))
               : nullptr;
    return call && call(controls);
}
