#include "platform/win32/DesktopStart_win.h"

#include <userenv.h>

#include <vector>

#include "platform/win32/Bind_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/SystemPaths_win.h"

namespace kiv {

namespace {

// Bound by name, so that a system without them only loses this way of starting. userenv.dll
// is not a KnownDLL everywhere: it is loaded from the system folder by its full path, never
// imported (scripts/check-binary) nor loaded by name.
struct DesktopCalls {
    decltype(&InitializeProcThreadAttributeList) initializeList;
    decltype(&UpdateProcThreadAttribute) updateList;
    decltype(&DeleteProcThreadAttributeList) deleteList;
    decltype(&CreateEnvironmentBlock) createEnvironment;
    decltype(&DestroyEnvironmentBlock) destroyEnvironment;
    bool Complete() const {
        return initializeList && updateList && deleteList && createEnvironment &&
               destroyEnvironment;
    }
};

// Bound at the first start as a child, which wine never makes: userenv stays unloaded there.
const DesktopCalls& Calls() {
    static const DesktopCalls calls = [] {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        const std::wstring system = SystemDirectoryW();
        // Loaded for the life of the process.
        const HMODULE userenv = system.empty() ? nullptr
                                               : LoadLibraryConfined(system + L"\\userenv.dll",
                                                                     LOAD_LIBRARY_SEARCH_SYSTEM32);
        return DesktopCalls{KIV_BOUND_CALL(kernel, InitializeProcThreadAttributeList),
                            KIV_BOUND_CALL(kernel, UpdateProcThreadAttribute),
                            KIV_BOUND_CALL(kernel, DeleteProcThreadAttributeList),
                            KIV_BOUND_CALL(userenv, CreateEnvironmentBlock),
                            KIV_BOUND_CALL(userenv, DestroyEnvironmentBlock)};
    }();
    return calls;
}

// Both are made only once every call is bound, so their release is always there.
struct EnvironmentTraits {
    static void* None() { return nullptr; }
    static bool Valid(void* block) { return block != nullptr; }
    static void Close(void* block) { Calls().destroyEnvironment(block); }
};
struct AttributeListTraits {
    static LPPROC_THREAD_ATTRIBUTE_LIST None() { return nullptr; }
    static bool Valid(LPPROC_THREAD_ATTRIBUTE_LIST list) { return list != nullptr; }
    static void Close(LPPROC_THREAD_ATTRIBUTE_LIST list) { Calls().deleteList(list); }
};
using ScopedEnvironment = ScopedHandle<void*, EnvironmentTraits>;
using ScopedAttributeList = ScopedHandle<LPPROC_THREAD_ATTRIBUTE_LIST, AttributeListTraits>;

}  // namespace

ScopedKernelHandle OpenDesktopShell() {
    const HWND shell = GetShellWindow();
    DWORD process = 0;
    if (shell == nullptr || GetWindowThreadProcessId(shell, &process) == 0) {
        return {};
    }
    return ScopedKernelHandle(
        OpenProcess(PROCESS_CREATE_PROCESS | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
}

ScopedKernelHandle StartAsChildOf(HANDLE parent, const std::string& commandLine, int showState) {
    const DesktopCalls& calls = Calls();
    HANDLE token = nullptr;
    if (!calls.Complete() || !OpenProcessToken(parent, TOKEN_QUERY | TOKEN_DUPLICATE, &token)) {
        return {};
    }
    const ScopedKernelHandle ownedToken(token);
    // The user's own environment, not this process's: that one is the elevated account's,
    // with its profile folder, its temporary folder and its drives.
    void* environment = nullptr;
    if (!calls.createEnvironment(&environment, token, FALSE)) {
        return {};
    }
    const ScopedEnvironment ownedEnvironment(environment);

    SIZE_T size = 0;
    calls.initializeList(nullptr, 1, 0, &size);  // fails, giving the size it needs
    std::vector<char> storage(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (size == 0 || !calls.initializeList(list, 1, 0, &size)) {
        return {};
    }
    const ScopedAttributeList ownedList(list);
    // The list keeps the address of the handle, not the handle: it must outlive the start.
    HANDLE parentHandle = parent;
    if (!calls.updateList(list, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &parentHandle,
                          sizeof(parentHandle), nullptr, nullptr)) {
        return {};
    }

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(showState);
    startup.lpAttributeList = list;
    std::wstring mutableLine = ToWide(commandLine);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                        EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT, environment,
                        nullptr, &startup.StartupInfo, &process)) {
        return {};
    }
    const ScopedKernelHandle thread(process.hThread);
    return ScopedKernelHandle(process.hProcess);
}

bool StartAsDesktopUser(const std::string& commandLine, int showState) {
    const ScopedKernelHandle shell = OpenDesktopShell();
    return shell && StartAsChildOf(shell.Get(), commandLine, showState);
}

}  // namespace kiv
