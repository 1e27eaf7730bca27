#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/IFiles.h"
#include "trust/Sha256.h"

namespace kiv {

// One staged file as the publisher signed it.
struct ListedFile {
    std::string name;
    uint64_t size = 0;
    FileTime lastModified = 0;  // the time the copy-if-older rule compares
    Sha256::Digest sha256 = {};

    bool Matches(uint64_t copiedSize, FileTime copiedTime, const Sha256::Digest& copied) const {
        return copiedSize == size && copiedTime == lastModified && copied == sha256;
    }
};

// The signed list of the staged files: a first line naming the format, then one line a file,
// "<sha256 hex> TAB <size> TAB <last-modified, UTC seconds> TAB <name>", each ended by a line
// feed. The release writes it (scripts/sign-staging); nothing else is accepted.
class StagingList {
public:
    static constexpr const char* kFormatLine = "kivupdate staged files 1";

    // Nothing when any line is not as above, or a name comes twice.
    static std::optional<StagingList> Parse(const std::string& text);
    // Names are matched as Windows matches them, without regard to case.
    const ListedFile* Find(const std::string& name) const;

private:
    std::map<std::string, ListedFile> files_;  // by upper-case name
};

}  // namespace kiv
