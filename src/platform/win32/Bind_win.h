#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// An export bound by name, or nullptr where the module or the export is missing.
template <typename Call>
Call BoundCall(HMODULE module, const char* name) {
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace kiv

// Binds the export of the SDK's function of that name, typed as the SDK declares it, calling
// convention included, so the name and the type cannot disagree. The function is named only
// inside decltype, which imports nothing: a system without it gives nullptr, and the
// program still loads.
#define KIV_BOUND_CALL(module, function) ::kiv::BoundCall<decltype(&function)>(module, #function)
