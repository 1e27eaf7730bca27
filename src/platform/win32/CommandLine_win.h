#pragma once

#include <string>

namespace kiv {

// The argument text of a command line: what follows the program's name (quoted or not)
// and the blanks (spaces and tabs) after it, kept exactly as written.
std::wstring ArgumentTextOf(const std::wstring& commandLine);

}  // namespace kiv
