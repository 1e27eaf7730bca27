#include <windows.h>

// A component whose registration entry points register nothing but leave a trace: each
// call appends "<register|unregister> <thread id> <process id> <own path>", a TAB, the path
// of the process's program and LF (UTF-8) to the file named by KIV_COMPONENT_RECORD, when
// that is set, so that a test sees which entry point ran, in which order, on which thread
// and in which program.
// Variants built from this source:
//   KIV_COMPONENT_SLOW        DllRegisterServer takes 15 s: longer than a caller's 10 s wait
//                             and the box that follows it, so that a caller unloading the
//                             library after the box does so while the call still sleeps in it
//   KIV_COMPONENT_FAILS       both entry points report failure
//   KIV_COMPONENT_NO_EXPORTS  neither entry point exists

#ifndef KIV_COMPONENT_NO_EXPORTS

#include "Record.h"

namespace {

#ifdef KIV_COMPONENT_FAILS
constexpr HRESULT kResult = E_FAIL;
#else
constexpr HRESULT kResult = S_OK;
#endif

void Record(const wchar_t* call) {
    wchar_t record[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"KIV_COMPONENT_RECORD", record, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&Record), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    kiv::e2e::AppendLine(record, std::wstring(call) + L' ' + std::to_wstring(GetCurrentThreadId()) +
                                     L' ' + std::to_wstring(GetCurrentProcessId()) + L' ' + path +
                                     L'\t' + program);
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
#ifdef KIV_COMPONENT_SLOW
    Sleep(15000);
#endif
    Record(L"register");
    return kResult;
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    Record(L"unregister");
    return kResult;
}

#else

// Something to export, so that the linker does not export every symbol instead.
extern "C" __declspec(dllexport) int KivNoEntryPoints() {
    return 0;
}

#endif
