#include "trust/StagingList.h"

#include <vector>

#include "engine/Text.h"

namespace kiv {

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos && fields.size() < 3;
         tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));  // the name, last, may hold anything but a line feed
    return fields;
}

// Digits only, no sign, and no more than fit.
template <typename Number>
bool ParseNumber(const std::string& text, Number& number) {
    if (text.empty() || text.size() > 18) {
        return false;
    }
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    return true;
}

std::optional<ListedFile> ParseLine(const std::string& line) {
    const std::vector<std::string> fields = Fields(line);
    ListedFile file;
    if (fields.size() != 4 || !FromHex(fields[0], file.sha256) ||
        !ParseNumber(fields[1], file.size) || !ParseNumber(fields[2], file.lastModified) ||
        fields[3].empty() || fields[3].find_first_of("\\/\r") != std::string::npos) {
        return std::nullopt;
    }
    file.name = fields[3];
    return file;
}

}  // namespace

std::optional<StagingList> StagingList::Parse(const std::string& text) {
    const std::string header = std::string(kFormatLine) + "\n";
    if (text.compare(0, header.size(), header) != 0 || text.back() != '\n') {
        return std::nullopt;
    }
    StagingList list;
    for (size_t start = header.size(); start < text.size();) {
        const size_t end = text.find('\n', start);
        const std::optional<ListedFile> file = ParseLine(text.substr(start, end - start));
        if (!file || !list.files_.emplace(Upper(file->name), *file).second) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return list;
}

const ListedFile* StagingList::Find(const std::string& name) const {
    const auto found = files_.find(Upper(name));
    return found == files_.end() ? nullptr : &found->second;
}

}  // namespace kiv
