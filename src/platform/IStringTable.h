#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kiv {

// The program's own string-table resource.
struct IStringTable {
    virtual ~IStringTable() = default;
    // The text stored under the identifier; nothing for an identifier without text,
    // the empty entries of a bundle included.
    virtual std::optional<std::string> Load(uint16_t id) = 0;
};

}  // namespace kiv
