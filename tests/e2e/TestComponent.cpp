#include <windows.h>

// A component with both registration entry points, which register nothing: the update
// pass can copy it and load it for registration like a real DLL or OCX.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return S_OK;
}
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return S_OK;
}
