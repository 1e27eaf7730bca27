#pragma once

#include <string>

namespace kiv {

// ASCII upper case: enough for the extension, prefix and folder tests of the pass, and
// it leaves every other UTF-8 byte alone.
std::string Upper(std::string text);

// The last n characters of a text, or all of it when it is shorter.
std::string Right(const std::string& text, size_t n);

}  // namespace kiv
