#include "platform/win32/StringTable_win.h"

#include "platform/win32/Strconv_win.h"

namespace kiv {

std::optional<std::string> Win32StringTable::Load(uint16_t id) {
    // With a zero buffer size LoadStringW hands back a pointer into the resource itself,
    // so no text is ever cut to a buffer's length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return std::nullopt;
    }
    return ToUtf8(text, static_cast<size_t>(length));
}

}  // namespace kiv
