// The few common-controls entry points the program calls, bound at run time instead of
// imported. comctl32.dll is not one of the DLLs every Windows maps from the system folder
// (the KnownDLLs), and a static import is resolved before the program's first line can
// narrow the search for it. The build defines _COMCTL32_, so <commctrl.h> declares these
// as ordinary functions, and the definitions below take the place of the import library.
#include <windows.h>

#include <commctrl.h>

namespace {

// By name, so that the manifest's side-by-side redirection hands over the version 6
// controls it asks for (from the WinSxS store, which it consults before any folder);
// the search flag keeps every other lookup to the system folder. Systems without the
// flag refuse it, and there the redirection still comes before the search.
HMODULE CommonControls() {
    static const HMODULE module = [] {
        HMODULE loaded = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (loaded == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
            loaded = LoadLibraryW(L"comctl32.dll");
        }
        return loaded;
    }();
    return module;
}

// The type is the SDK's own declaration of the function, so a binding cannot drift from it.
template <typename Function>
Function Bound(const char* name) {
    const HMODULE module = CommonControls();
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

}  // namespace

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    static const auto call = Bound<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
    return call && call(controls);
}

BOOL WINAPI SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    static const auto call = Bound<decltype(&SetWindowSubclass)>("SetWindowSubclass");
    return call && call(window, procedure, id, data);
}

BOOL WINAPI RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    static const auto call = Bound<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass");
    return call && call(window, procedure, id);
}

LRESULT WINAPI DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const auto call = Bound<decltype(&DefSubclassProc)>("DefSubclassProc");
    return call ? call(window, message, wParam, lParam) : 0;
}
