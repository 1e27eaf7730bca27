#include "Record.h"

// A component whose entry points register nothing but append "<register|unregister> TAB
// <thread> TAB <process> TAB <own path> TAB <program path>" to the file KIV_COMPONENT_RECORD
// names. Words in its file name make it misbehave: "fails" (both entry points give E_FAIL),
// "slow" (DllRegisterServer takes 3 s), "stuck" (it never returns), "crash" (it writes through
// a null pointer), "frozen" (DllMain never returns), "window" (a window of its own), "usescom"
// (it creates the component-category manager, as frameworks' registration code does),
// "endthread" (it ends its own thread), "lingers" (it leaves a thread sleeping for good).
// KIV_COMPONENT_SIBLING builds one that exports KivSibling too, which
// KIV_COMPONENT_USES_SIBLING imports; KIV_COMPONENT_PLANTED one planted under the names of
// system DLLs, which records "loaded".
#include <comcat.h>

namespace {

std::wstring ModulePath(HMODULE module) {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), 32768));
    return path;
}

HMODULE self = nullptr;  // set before anything else runs, by DllMain

bool Named(const wchar_t* word) {
    const std::wstring path = ModulePath(self);
    return path.find(word, path.find_last_of(L'\\')) != std::wstring::npos;
}

HRESULT Record(const wchar_t* call) {
    wchar_t record[32768] = {};
    const DWORD length = GetEnvironmentVariableW(L"KIV_COMPONENT_RECORD", record, 32768);
    if (length > 0 && length < 32768) {
        kiv::e2e::AppendLine(record, std::wstring(call) + L'\t' +
                                         std::to_wstring(GetCurrentThreadId()) + L'\t' +
                                         std::to_wstring(GetCurrentProcessId()) + L'\t' +
                                         ModulePath(self) + L'\t' + ModulePath(nullptr));
    }
    return Named(L"fails") ? E_FAIL : S_OK;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    self = instance;
#ifdef KIV_COMPONENT_PLANTED
    if (reason == DLL_PROCESS_ATTACH) {
        Record(L"loaded");
    }
#endif
    if (reason == DLL_PROCESS_ATTACH && Named(L"frozen")) {
        Sleep(INFINITE);
    }
    return TRUE;
}

#ifdef KIV_COMPONENT_SIBLING
extern "C" __declspec(dllexport) int KivSibling() {
    return 1;
}
#elif defined(KIV_COMPONENT_USES_SIBLING)
extern "C" __declspec(dllimport) int KivSibling();
#endif

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
#ifdef KIV_COMPONENT_USES_SIBLING
    KivSibling();  // loads only if the sibling was found beside this DLL
#endif
    if (Named(L"slow") || Named(L"stuck")) {
        Sleep(Named(L"slow") ? 3000 : INFINITE);
    }
    if (Named(L"window")) {  // a window of its own, on the worker
        DestroyWindow(CreateWindowExW(0, L"STATIC", L"component", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    }
    if (Named(L"crash")) {
        *static_cast<volatile int*>(nullptr) = 1;
    }
    if (Named(L"usescom")) {
        ICatRegister* categories = nullptr;
        const HRESULT made =
            CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                             IID_ICatRegister, reinterpret_cast<void**>(&categories));
        if (FAILED(made)) {
            return made;
        }
        categories->Release();
    }
    if (Named(L"endthread")) {
        TerminateThread(GetCurrentThread(), 1);
    }
    if (Named(L"lingers")) {
        const auto sleep =
            reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(&Sleep));
        CloseHandle(CreateThread(nullptr, 0, sleep, reinterpret_cast<void*>(INFINITE), 0, nullptr));
    }
    return Record(L"register");
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Record(L"unregister");
}
