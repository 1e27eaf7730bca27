#include "fakes/FakeWindows.h"

#include <algorithm>
#include <cctype>

namespace kiv::fake {

std::string Fold(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

StringTable::StringTable() {
#define KIV_MESSAGE(id, text) texts[id] = text;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
}

std::vector<std::string> Files::NamesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [key, entry] : entries) {
        const bool special = entry.attributes & (attr::Hidden | attr::System | attr::Directory);
        if (!special && Fold(entry.path.substr(0, entry.path.rfind('\\'))) == Fold(folder)) {
            names.push_back(entry.path.substr(folder.size() + 1));
        }
    }
    return names;
}

std::shared_ptr<IFileSystem> Files::CreateFileSystem() {
    shared.Hit("create");
    return std::make_shared<FileSystem>(*this);
}

void FileSystem::CopyFile(const std::string& source, const std::string& destination) {
    shared.Hit("copy");
    const Files::Entry* staged = files.Find(source);
    if (staged == nullptr) {
        throw RuntimeError(err::FileNotFound);
    }
    files.Add(destination, staged->attributes, staged->time, staged->content);
    files.copies.push_back(source + " -> " + destination);
}

Windows::Windows() {
    modules.Add("shfolder", {"SHGetFolderPathA", "SHGetFolderPathW"});
    shell.folders[CSIDL_APPDATA] = {"C:\\Users\\ann\\AppData\\Roaming"};
    files.Add("C:\\Users\\ann\\AppData\\Roaming", attr::Directory);
}

}  // namespace kiv::fake
