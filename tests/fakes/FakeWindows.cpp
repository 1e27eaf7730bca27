#include "fakes/FakeWindows.h"

#include <algorithm>
#include <cctype>

#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv::fake {

std::string Fold(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

void Recorder::Hit(const std::string& operation) {
    const auto fault = faults.find(operation);
    if (++calls[operation] >= (fault == faults.end() ? INT32_MAX : fault->second.second)) {
        throw RuntimeError(fault->second.first);
    }
}

WaitResult Recorder::NextWait() {
    const auto next = static_cast<size_t>(calls["wait"]++);
    return next < waits.size() ? waits[next] : WaitResult::Ended;
}

StringTable::StringTable() {
#define KIV_MESSAGE(id, text) texts[id] = text;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
}

std::optional<std::string> StringTable::Load(uint16_t id) {
    const auto it = texts.find(id);
    return it == texts.end() || it->second.empty() ? std::nullopt : std::optional(it->second);
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
    rec.Hit("create");
    return std::shared_ptr<IFileSystem>(std::shared_ptr<void>(), this);  // the disk's own
}

bool Files::FileExists(const std::string& path, FileLook& found) {
    rec.Hit("exists");
    found = Look(path);
    return IsFile(path);
}

void Files::CopyFile(const std::string& source, const std::string& destination,
                     const FileLook& destinationLook) {
    rec.Hit("copy");
    const Entry* staged = Find(source);
    if (staged == nullptr) {
        throw RuntimeError(err::FileNotFound);
    }
    // What the pass hands on must be what is at the destination.
    const FileLook installed = Look(destination);
    if (installed.attributes != destinationLook.attributes ||
        installed.lastModified != destinationLook.lastModified) {
        throw RuntimeError(err::InvalidCall);
    }
    Add(destination, staged->attributes, staged->time);
    rec.Note("copy to " + destination);
}

ModuleHandle Modules::LoadSystemLibrary(const std::string& name) {
    rec.Note("load system " + name);
    const auto it = modules.find(Fold(name));
    if (it == modules.end() || !it->second.loadable) {
        return 0;
    }
    it->second.loaded = true;
    return Handle(it->second);
}

ProcAddress Modules::Find(ModuleHandle module, const std::string& exportName) {
    const auto& exports = reinterpret_cast<Module*>(module)->exports;
    const auto it = exports.find(exportName);
    return it == exports.end() ? 0 : reinterpret_cast<ProcAddress>(&*it);
}

int32_t ShellFolders::GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) {
    rec.Note("folder path " + std::to_string(csidl) + " " + std::to_string(flags));
    const auto it = folders.find(csidl & ~CSIDL_FLAG_CREATE);
    if (it == folders.end() || it->second.path.empty()) {
        return hr::InvalidArg;
    }
    buffer.replace(0, it->second.path.size() + 1, it->second.path + '\0');
    return it->second.folderPathResult;
}

uint32_t SystemDirs::Write(const std::string& call, const std::string& path, std::string& buffer,
                           uint32_t size) {
    rec.Note(call + " " + std::to_string(size));
    if (failing || path.size() + 1 > size) {
        return failing ? 0 : static_cast<uint32_t>(path.size() + 1);
    }
    buffer.replace(0, path.size() + 1, path + '\0');
    return static_cast<uint32_t>(path.size());
}

IUpdateView& View::CreateUpdateView(FrmUpdate& shown) {
    form = &shown;
    shown.AttachView(*this);
    return *this;
}

void View::ShowModal() {
    RunEvent([this] { form->Form_Load(); });
    RunEvent([this] { form->Form_Activate(); });
    if (pressEnd) {
        RunEvent([this] { form->Command1_Click(); });
    }
}

Windows::Windows() {
    modules.modules["SHFOLDER"] = {{"SHGetFolderPathA", "SHGetFolderPathW"}};
    shell.folders[CSIDL_APPDATA] = {"C:\\Users\\ann\\AppData\\Roaming"};
    files.Add("C:\\Users\\ann\\AppData\\Roaming", attr::Directory);
}

}  // namespace kiv::fake
