#pragma once

#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// Registers a window class of ours the first time; raises RuntimeError when it cannot.
void RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* className, WNDPROC procedure);

// A window class of our own, whose messages go to an object of type T: the object is bound
// to its window from WM_NCCREATE, before any other message arrives, and unbound at
// WM_NCDESTROY, after which none reaches it. T handles the rest in
// HandleMessage(UINT, WPARAM, LPARAM).
template <typename T>
class BaseWindow {
public:
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Null once the window is destroyed.
    HWND Handle() const { return window_.Get(); }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;

    // Registers the class and makes a top-level window of it, bound to this object;
    // nullptr when it cannot be made.
    HWND Create(HINSTANCE instance, const wchar_t* className, const wchar_t* title, DWORD style) {
        RegisterWindowClassOnce(instance, className, WindowProc);
        return CreateWindowExW(0, className, title, style, 0, 0, 0, 0, nullptr, nullptr, instance,
                               static_cast<T*>(this));
    }

    // Destroys the window now, before the members its messages still use.
    void Destroy() { window_.Reset(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            Bind(window, static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            Unbind(window, self);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return self->HandleMessage(message, wParam, lParam);
    }

    static void Bind(HWND window, T* self) {
        static_cast<BaseWindow*>(self)->window_.Reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }

    static void Unbind(HWND window, T* self) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        static_cast<BaseWindow*>(self)->window_.Release();
    }

    ScopedWindow window_;
};

}  // namespace kiv
