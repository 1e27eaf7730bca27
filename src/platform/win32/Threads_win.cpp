#include "platform/win32/Threads_win.h"

#include <windows.h>

#include <olectl.h>

#include <type_traits>

#include "platform/win32/Contain_win.h"
#include "platform/win32/MessagePump_win.h"
#include "platform/win32/ProcessExit_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/SystemPaths_win.h"

namespace kiv {

struct Win32Threads::Work {
    std::wstring path;
    std::string exportName;
    Registered outcome;
    // Set before the entry point runs: a worker that ended without an outcome was ended by
    // a fault in the component, and its exit code is the fault's.
    bool called = false;
};

namespace {

// The type the SDK declares the entry points with: a mismatch of calling convention would
// only crash a 32-bit process, so the 32-bit build refuses to compile one.
using EntryPoint = RegistrationEntry;
static_assert(std::is_same_v<EntryPoint, decltype(&DllRegisterServer)> &&
              std::is_same_v<EntryPoint, decltype(&DllUnregisterServer)>);

DWORD WINAPI RunRegistration(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Win32Threads::Work>> shared(
        static_cast<std::shared_ptr<Win32Threads::Work>*>(parameter));
    Win32Threads::Work& work = **shared;
    // By full path, the component's own folder and the system folder searched for what it
    // needs, never the program's folder or the current one, which others may write to.
    const HMODULE library = LoadLibraryConfined(
        work.path, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        work.outcome = {Registered::Kind::NotLoaded, 0};
        return ERROR_MOD_NOT_FOUND;
    }
    // The library is never freed: its DllMain or its entry point may have started a thread
    // that still runs its code, and unmapping that code would crash the whole program. It
    // stays loaded until the program ends, soon after the pass; loading the same component
    // again for the next call only counts one more reference.
    const auto entry = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, work.exportName.c_str())));
    if (entry == nullptr) {
        work.outcome = {Registered::Kind::NoEntryPoint, 0};
        return ERROR_PROC_NOT_FOUND;
    }
    // A fault ends this thread inside the call, which then never returns, and the worker's
    // share of `work` is never given back.
    work.called = true;
    const HRESULT result = CallContained(entry);
    work.outcome = {Registered::Kind::Returned, result};
    return static_cast<DWORD>(result);
}
static_assert(std::is_same_v<decltype(&RunRegistration), LPTHREAD_START_ROUTINE>);

}  // namespace

ThreadHandle Win32Threads::StartRegistration(const std::string& path,
                                             const std::string& exportName) {
    auto work = std::make_shared<Work>(Work{ToWide(path), exportName, {}});
    auto* shared = new std::shared_ptr<Work>(work);
    DWORD threadId = 0;
    const HANDLE thread = CreateThread(nullptr, 0, RunRegistration, shared, 0, &threadId);
    if (thread == nullptr) {
        delete shared;
        return 0;
    }
    const auto handle = reinterpret_cast<ThreadHandle>(thread);
    work_[handle] = work;
    return handle;
}

WaitResult Win32Threads::Wait(ThreadHandle thread, uint32_t milliseconds) {
    return WaitOnHandle(thread, milliseconds);
}

Registered Win32Threads::Outcome(ThreadHandle thread) {
    const auto found = work_.find(thread);
    if (found == work_.end()) {
        return {};
    }
    const Work& work = *found->second;
    DWORD exitCode = 0;
    if (work.called && work.outcome.kind != Registered::Kind::Returned &&
        GetExitCodeThread(reinterpret_cast<HANDLE>(thread), &exitCode)) {
        return {Registered::Kind::Returned, static_cast<int32_t>(exitCode)};
    }
    return work.outcome;
}

void Win32Threads::Close(ThreadHandle thread) {
    work_.erase(thread);
    const auto handle = reinterpret_cast<HANDLE>(thread);
    if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) {
        KeepAbandonedWorker(handle);
        return;
    }
    CloseHandle(handle);
}

}  // namespace kiv
