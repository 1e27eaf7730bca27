#include "platform/win32/RegistrationChild_win.h"

#include <windows.h>

#include <objbase.h>
#include <ole2.h>
#include <olectl.h>

#include <cwchar>
#include <type_traits>

#include "platform/win32/RegistrationChannel_win.h"
#include "platform/win32/SystemPaths_win.h"

namespace kiv {

namespace {

// The type the SDK declares the entry points with: a mismatch of calling convention would
// only crash a 32-bit process, so the 32-bit build refuses to compile one.
using EntryPoint = HRESULT(STDAPICALLTYPE*)();
static_assert(std::is_same_v<EntryPoint, decltype(&DllRegisterServer)> &&
              std::is_same_v<EntryPoint, decltype(&DllUnregisterServer)>);

RegistrationChannel* g_channel = nullptr;

void Reach(RegistrationStage stage, LONG result = 0) {
    g_channel->result = result;
    InterlockedExchange(&g_channel->stage, static_cast<LONG>(stage));
}

// At once: neither the detach of a library (a DllMain that hangs there) nor a thread the
// component left running can hold up the end, and nothing runs after the outcome is told.
[[noreturn]] void End(UINT exitCode) {
    TerminateProcess(GetCurrentProcess(), exitCode);
    ExitProcess(exitCode);  // never reached: a process that ends itself does not come back
}

// A fault the component leaves unhandled ends the process with the fault's code, after the
// component's own handlers have had their chance, and without the system's report (a
// dialog that would wait for a user, or a debugger that would start).
LONG WINAPI EndOnFault(EXCEPTION_POINTERS* exception) {
    End(exception->ExceptionRecord->ExceptionCode);
}

// The component's code gets a thread of its own, so that when that thread ends inside it,
// the process's first thread is there to say so with the thread's exit code.
DWORD WINAPI Register(void*) {
    // As regsvr32 does: registration code creates COM objects (a category manager, a
    // registrar), which needs OLE on its thread.
    OleInitialize(nullptr);
    Reach(RegistrationStage::Loading);
    // By full path, the component's own folder and the system folder searched for what it
    // needs, never the program's folder or the current one, which others may write to.
    const HMODULE library = LoadLibraryConfined(
        g_channel->path, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        Reach(RegistrationStage::NotLoaded);
        End(0);
    }
    const auto entry = reinterpret_cast<EntryPoint>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, g_channel->exportName)));
    if (entry == nullptr) {
        Reach(RegistrationStage::NoEntryPoint);
        End(0);
    }
    Reach(RegistrationStage::Calling);
    Reach(RegistrationStage::Returned, entry());
    End(0);
}
static_assert(std::is_same_v<decltype(&Register), LPTHREAD_START_ROUTINE>);

// The task, when this start was handed one: the variable names a section this process
// inherited, of the channel's size. The variable goes, so that nothing the component
// starts takes it for its own.
RegistrationChannel* HandedChannel() {
    wchar_t value[24] = {};  // a handle's value in decimal has 20 digits at most
    const DWORD length = GetEnvironmentVariableW(kRegistrationChannelVariable, value, 24);
    if (length == 0) {
        return nullptr;
    }
    SetEnvironmentVariableW(kRegistrationChannelVariable, nullptr);
    wchar_t* end = nullptr;
    const auto section = reinterpret_cast<HANDLE>(std::wcstoull(value, &end, 10));
    if (length >= 24 || end == value || *end != L'\0') {
        return nullptr;
    }
    auto* channel = static_cast<RegistrationChannel*>(
        MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(RegistrationChannel)));
    if (channel == nullptr || channel->size != sizeof(RegistrationChannel)) {
        UnmapViewOfFile(channel);
        return nullptr;
    }
    // Whatever it holds, each text ends inside it.
    channel->exportName[sizeof channel->exportName - 1] = '\0';
    channel->path[sizeof channel->path / sizeof(wchar_t) - 1] = L'\0';
    return channel;
}

}  // namespace

void ServeRegistrationIfAsked() {
    g_channel = HandedChannel();
    if (g_channel == nullptr) {
        return;
    }
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnFault);
    const HANDLE worker = CreateThread(nullptr, 0, Register, nullptr, 0, nullptr);
    DWORD exitCode = ERROR_NOT_ENOUGH_MEMORY;
    if (worker != nullptr) {
        WaitForSingleObject(worker, INFINITE);
        GetExitCodeThread(worker, &exitCode);
    }
    // Only a worker that never told how it went gets here.
    End(exitCode);
}

}  // namespace kiv
