#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// A component's DllRegisterServer or DllUnregisterServer, as the SDK declares them.
using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

// Calls a registration entry point on the current thread, which must be a worker made for
// the call. An access violation or any other structured exception that the component
// leaves unhandled (its own handlers have their chance first) does not end the process:
// it ends this thread, with the exception code as the thread's exit code (0xC0000005 for
// an access violation, an HRESULT with the failure bit set). The call then never returns,
// the component's frames are abandoned as they stand, and its library must stay loaded.
// A C++ exception that reaches the call gives E_UNEXPECTED; one thrown by a component with
// a C++ runtime of its own ends in that runtime's terminate, which no caller can stop.
HRESULT CallContained(RegistrationEntry entry);

}  // namespace kiv
