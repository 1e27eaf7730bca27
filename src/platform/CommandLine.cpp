#include "platform/CommandLine.h"

namespace kiv {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::string ArgumentTextOf(const std::string& commandLine) {
    // The name ends at its closing quote when it starts with one, else at the first
    // blank: the rule by which Windows hands a GUI program its command line.
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        at = commandLine.find('"', 1);
        at = at == std::string::npos ? commandLine.size() : at + 1;
    } else {
        while (at < commandLine.size() && !IsBlank(commandLine[at])) {
            ++at;
        }
    }
    while (at < commandLine.size() && IsBlank(commandLine[at])) {
        ++at;
    }
    return commandLine.substr(at);
}

}  // namespace kiv
