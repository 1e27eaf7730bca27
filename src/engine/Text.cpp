#include "engine/Text.h"

namespace kiv {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string Right(const std::string& text, size_t n) {
    return text.size() <= n ? text : text.substr(text.size() - n);
}

}  // namespace kiv
