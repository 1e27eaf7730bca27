#pragma once

#include <string>

namespace kiv {

// The argument text of a command line: what follows the program's name (quoted or not)
// and the blanks (spaces and tabs) after it, kept exactly as written. So no argument text
// the program is given starts with a blank or a tab.
std::string ArgumentTextOf(const std::string& commandLine);

}  // namespace kiv
