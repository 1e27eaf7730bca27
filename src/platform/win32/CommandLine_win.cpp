#include "platform/win32/CommandLine_win.h"

namespace kiv {

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
}  // namespace

std::wstring ArgumentTextOf(const std::wstring& commandLine) {
    // The name ends at its closing quote when it starts with one, else at the first
    // blank: the rule by which Windows hands a GUI program its command line.
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        at = commandLine.find(L'"', 1);
        at = at == std::wstring::npos ? commandLine.size() : at + 1;
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
