#pragma once

#include "platform/win32/Windows_win.h"

#include <objbase.h>

#include <utility>

namespace kiv {

// Owns one handle of a kind; NULL and INVALID_HANDLE_VALUE are both "no handle" so a
// failed CreateFile and a failed CreateThread read alike.
template <typename Handle, typename Traits>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    bool Valid() const { return Traits::Valid(handle_); }
    explicit operator bool() const { return Valid(); }
    Handle Get() const { return handle_; }
    Handle Release() { return std::exchange(handle_, Traits::None()); }
    void Reset(Handle handle = Traits::None()) {
        if (Valid()) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::None();
};

struct KernelHandleTraits {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

struct FindHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};

struct LibraryHandleTraits {
    static HMODULE None() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};

template <typename Object>
struct GdiObjectTraits {
    static Object None() { return nullptr; }
    static bool Valid(Object h) { return h != nullptr; }
    static void Close(Object h) { DeleteObject(h); }
};

struct IconTraits {
    static HICON None() { return nullptr; }
    static bool Valid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};

struct MemoryDcTraits {
    static HDC None() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};

// Memory the system allocated with LocalAlloc for the caller to free.
struct LocalMemoryTraits {
    static HLOCAL None() { return nullptr; }
    static bool Valid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};

struct ViewTraits {
    static void* None() { return nullptr; }
    static bool Valid(void* view) { return view != nullptr; }
    static void Close(void* view) { UnmapViewOfFile(view); }
};

struct WindowTraits {
    static HWND None() { return nullptr; }
    static bool Valid(HWND h) { return h != nullptr && IsWindow(h); }
    static void Close(HWND h) { DestroyWindow(h); }
};

using ScopedKernelHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<HANDLE, FindHandleTraits>;
using ScopedLibrary = ScopedHandle<HMODULE, LibraryHandleTraits>;
using ScopedFont = ScopedHandle<HFONT, GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using ScopedBitmap = ScopedHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using ScopedIcon = ScopedHandle<HICON, IconTraits>;
using ScopedMemoryDc = ScopedHandle<HDC, MemoryDcTraits>;
using ScopedWindow = ScopedHandle<HWND, WindowTraits>;
using ScopedLocalMemory = ScopedHandle<HLOCAL, LocalMemoryTraits>;
using ScopedView = ScopedHandle<void*, ViewTraits>;  // of a mapped file or section

// A window's device context from GetDC, given back to the same window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// COM initialised on this thread, and uninitialised when it was.
class ScopedComApartment {
public:
    ScopedComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ScopedComApartment() {
        if (initialized_) {
            CoUninitialize();
        }
    }
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    bool initialized_;
};

}  // namespace kiv
