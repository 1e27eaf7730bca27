#pragma once

#include <windows.h>

#include "platform/IStringTable.h"

namespace kiv {

// The string table of a loaded module: the program itself, or a binary loaded as data.
class Win32StringTable final : public IStringTable {
public:
    explicit Win32StringTable(HMODULE module) : module_(module) {}
    std::optional<std::string> Load(uint16_t id) override;

private:
    HMODULE module_;
};

}  // namespace kiv
