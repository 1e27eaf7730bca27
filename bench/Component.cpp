// A component whose registration entry points take KIV_BENCH_REG_MS milliseconds (0 when
// unset), so that the benchmark can watch the window during the program's wait for them.
#include <windows.h>

#include <cwchar>

namespace {

void Linger() {
    wchar_t value[32] = {};
    if (GetEnvironmentVariableW(L"KIV_BENCH_REG_MS", value, 32) > 0) {
        Sleep(static_cast<DWORD>(wcstoul(value, nullptr, 10)));
    }
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    Linger();
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    Linger();
    return S_OK;
}
