#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// Puts a procedure of ours in front of a control's own, with the object it belongs to in
// the control's user data; gives back the control's procedure.
inline WNDPROC Subclass(HWND control, void* owner, WNDPROC procedure) {
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// At WM_NCDESTROY: the control's own procedure finishes its clean-up, and nothing reaches
// the object any more.
inline LRESULT Unsubclass(HWND control, WNDPROC original, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    return CallWindowProcW(original, control, message, wParam, lParam);
}

}  // namespace kiv
