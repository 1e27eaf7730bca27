#include "platform/win32/Threads_win.h"

#include <windows.h>

#include <olectl.h>

#include <type_traits>

namespace kiv {

namespace {

// The type the SDK declares the entry points with: a mismatch of calling convention would
// only crash a 32-bit process, so the 32-bit build refuses to compile one.
using EntryPoint = HRESULT(STDAPICALLTYPE*)();
static_assert(std::is_same_v<EntryPoint, decltype(&DllRegisterServer)> &&
              std::is_same_v<EntryPoint, decltype(&DllUnregisterServer)>);

// The registration entry points take no argument and return an HRESULT, so they are
// called from a thread routine of the proper shape rather than started as one.
DWORD WINAPI RunEntryPoint(void* parameter) {
    const auto entry = reinterpret_cast<EntryPoint>(parameter);
    return static_cast<DWORD>(entry());
}
static_assert(std::is_same_v<decltype(&RunEntryPoint), LPTHREAD_START_ROUTINE>);

}  // namespace

ThreadHandle Win32Threads::StartEntryPoint(ProcAddress entry) {
    DWORD threadId = 0;
    HANDLE thread =
        CreateThread(nullptr, 0, RunEntryPoint, reinterpret_cast<void*>(entry), 0, &threadId);
    return reinterpret_cast<ThreadHandle>(thread);
}

WaitResult WaitOnHandle(std::uintptr_t handle, uint32_t milliseconds) {
    switch (WaitForSingleObject(reinterpret_cast<HANDLE>(handle), milliseconds)) {
        case WAIT_OBJECT_0:
            return WaitResult::Ended;
        case WAIT_TIMEOUT:
            return WaitResult::TimedOut;
        default:
            return WaitResult::Failed;
    }
}

WaitResult Win32Threads::Wait(ThreadHandle thread, uint32_t milliseconds) {
    return WaitOnHandle(thread, milliseconds);
}

void Win32Threads::Close(ThreadHandle thread) {
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}

}  // namespace kiv
