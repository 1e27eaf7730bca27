#pragma once

#include <cstdint>
#include <string>

namespace kiv {

using ModuleHandle = std::uintptr_t;
using ProcAddress = std::uintptr_t;

// Libraries of the operating system the program probes. A handle or address of 0 means
// none.
struct IModules {
    virtual ~IModules() = default;
    // A module already loaded under the name; does not load it.
    virtual ModuleHandle GetLoaded(const std::string& name) = 0;
    // Loads a library of the operating system from the system directory only, never
    // from the program's folder or the search path.
    virtual ModuleHandle LoadSystemLibrary(const std::string& name) = 0;
    virtual ProcAddress Find(ModuleHandle module, const std::string& exportName) = 0;
    virtual void Free(ModuleHandle module) = 0;
};

}  // namespace kiv
