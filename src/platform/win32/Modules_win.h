#pragma once

#include "platform/IModules.h"

namespace kiv {

class Win32Modules final : public IModules {
public:
    ModuleHandle GetLoaded(const std::string& name) override;
    ModuleHandle LoadSystemLibrary(const std::string& name) override;
    ProcAddress Find(ModuleHandle module, const std::string& exportName) override;
    void Free(ModuleHandle module) override;
};

}  // namespace kiv
