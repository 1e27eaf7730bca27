#include "messages/LoadMessage.h"

#include <optional>

#include "platform/IStringTable.h"
#include "platform/Ports.h"

namespace kiv {

int32_t MessageBase = 0;

namespace {

std::string MissingMarker(int32_t code) {
    return " [LL " + std::to_string(code) + " ?] ";
}

// The sum is taken in 64 bits so that a 32-bit overflow cannot wrap back into range:
// any sum outside the string table's 16-bit identifiers names no text.
std::optional<uint16_t> IdentifierOf(int32_t base, int32_t code) {
    const int64_t sum = static_cast<int64_t>(base) + code;
    if (sum < 0 || sum > UINT16_MAX) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(sum);
}

}  // namespace

std::string LoadMessage(IStringTable& table, int32_t base, int32_t code) {
    try {
        if (const auto id = IdentifierOf(base, code)) {
            if (auto text = table.Load(*id)) {
                return *text;
            }
        }
    } catch (...) {
        // A lookup must never stop its caller; the marker stands in for the text.
    }
    return MissingMarker(code);
}

std::string LoadMessage(int32_t code) {
    IStringTable* table = Platform().strings;
    if (table == nullptr) {
        return MissingMarker(code);
    }
    return LoadMessage(*table, MessageBase, code);
}

}  // namespace kiv
