#include "Record.h"

// A component whose entry points register nothing but append
// "<register|unregister> TAB <thread> TAB <process> TAB <own path> TAB <program path>"
// to the file KIV_COMPONENT_RECORD names. KIV_COMPONENT_FAILS makes both report failure;
// KIV_COMPONENT_NO_EXPORTS builds a DLL without them.
#ifndef KIV_COMPONENT_NO_EXPORTS

namespace {

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), MAX_PATH));
    return path;
}

HRESULT Record(const wchar_t* call) {
    wchar_t record[MAX_PATH] = {};
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&Record), &self);
    const DWORD length = GetEnvironmentVariableW(L"KIV_COMPONENT_RECORD", record, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        kiv::e2e::AppendLine(record, std::wstring(call) + L'\t' +
                                         std::to_wstring(GetCurrentThreadId()) + L'\t' +
                                         std::to_wstring(GetCurrentProcessId()) + L'\t' +
                                         ModulePath(self) + L'\t' + ModulePath(nullptr));
    }
#ifdef KIV_COMPONENT_FAILS
    return E_FAIL;
#else
    return S_OK;
#endif
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return Record(L"register");
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Record(L"unregister");
}

#else
extern "C" __declspec(dllexport) int KivNoEntryPoints() {
    return 0;
}
#endif
