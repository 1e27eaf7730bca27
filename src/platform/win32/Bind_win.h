#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// An export bound by name, or nullptr where the module or the export is missing. The
// pointer type is the caller's, written out and static_asserted against the SDK's
// declaration, so that a calling convention that does not match stops the build.
template <typename Call>
Call BoundCall(HMODULE module, const char* name) {
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace kiv
