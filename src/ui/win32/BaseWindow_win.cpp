#include "ui/win32/BaseWindow_win.h"

#include "platform/win32/ErrorMap_win.h"

namespace kiv {

void RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    if (!RegisterClassExW(&windowClass)) {
        throw LastError();
    }
}

}  // namespace kiv
