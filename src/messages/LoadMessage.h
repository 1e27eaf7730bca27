#pragma once

#include <cstdint>
#include <string>

namespace kiv {

struct IStringTable;

// Language offset of the catalogue: 0 Dutch, 10000 French, 20000 English. Start-up sets
// it before the first lookup.
extern int32_t MessageBase;

// The text of a message code in the language MessageBase selects, read afresh from the
// program's string table, or " [LL <code> ?] " when there is none. Never fails.
std::string LoadMessage(int32_t code);
std::string LoadMessage(IStringTable& table, int32_t base, int32_t code);

}  // namespace kiv
