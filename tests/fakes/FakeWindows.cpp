#include "fakes/FakeWindows.h"

#include <algorithm>
#include <cctype>

#include "folders/CSystemFolders.h"
#include "platform/RuntimeError.h"

namespace kiv::fake {

std::string Fold(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

namespace {

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Writes the text and its NUL over the start of a buffer, as the system does.
void WriteZ(std::string& buffer, const std::string& text) {
    const std::string z = text + '\0';
    if (buffer.size() < z.size()) {
        buffer.resize(z.size());
    }
    buffer.replace(0, z.size(), z);
}

uint32_t WriteDirectory(std::string& buffer, uint32_t size, const std::string& text, bool failing) {
    if (failing) {
        return 0;
    }
    if (text.size() + 1 > size) {
        return static_cast<uint32_t>(text.size() + 1);
    }
    WriteZ(buffer, text);
    return static_cast<uint32_t>(text.size());
}

}  // namespace

StringTable::StringTable() {
#define KIV_MESSAGE(id, text) texts[id] = text;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
}

std::optional<std::string> StringTable::Load(uint16_t id) {
    ++loads;
    const auto it = texts.find(id);
    if (it == texts.end() || it->second.empty()) {
        return std::nullopt;
    }
    return it->second;
}

ModuleHandle Modules::HandleOf(const std::string& key) const {
    const auto it = modules.find(key);
    return it == modules.end()
               ? 0
               : static_cast<ModuleHandle>(0x10000 + std::distance(modules.begin(), it));
}

const std::string* Modules::KeyOf(ModuleHandle handle) const {
    for (const auto& [key, module] : modules) {
        if (HandleOf(key) == handle) {
            return &key;
        }
    }
    return nullptr;
}

bool Modules::IsLoaded(const std::string& name) const {
    const auto it = modules.find(Fold(name));
    return it != modules.end() && it->second.loaded;
}

ModuleHandle Modules::GetLoaded(const std::string& name) {
    calls.push_back("find " + name);
    return IsLoaded(name) ? HandleOf(Fold(name)) : 0;
}

ModuleHandle Modules::LoadKey(const std::string& key) {
    auto it = modules.find(key);
    if (it == modules.end() || !it->second.loadable) {
        return 0;
    }
    it->second.loaded = true;
    return HandleOf(key);
}

ModuleHandle Modules::LoadSystemLibrary(const std::string& name) {
    calls.push_back("load system " + name);
    const auto it = modules.find(Fold(name));
    return it != modules.end() && it->second.inSystemDir ? LoadKey(Fold(name)) : 0;
}

ModuleHandle Modules::Load(const std::string& path) {
    calls.push_back("load " + path);
    if (modules.count(Fold(path)) == 0 && disk != nullptr && disk->IsFile(path) &&
        disk->Find(path)->content.find("not a library") == std::string::npos) {
        Add(path, {{"DllRegisterServer", "DllUnregisterServer"}});
    }
    return LoadKey(Fold(path));
}

ProcAddress Modules::Find(ModuleHandle module, const std::string& exportName) {
    const std::string* key = KeyOf(module);
    if (key == nullptr || !modules.at(*key).loaded) {
        return 0;
    }
    const auto& exports = modules.at(*key).exports;
    const auto it = exports.find(exportName);
    if (it == exports.end()) {
        return 0;
    }
    const ProcAddress address = module * 0x100 + 1 + std::distance(exports.begin(), it);
    entryPoints[address] = *key + "!" + exportName;
    return address;
}

void Modules::Free(ModuleHandle module) {
    if (const std::string* key = KeyOf(module)) {
        calls.push_back("free " + *key);
        modules.at(*key).loaded = false;
    }
}

int32_t ShellFolders::GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) {
    folderPathCalls.push_back({csidl, flags});
    const auto it = folders.find(csidl & ~CSIDL_FLAG_CREATE);
    if (it == folders.end()) {
        return hr::InvalidArg;
    }
    const Folder& folder = it->second;
    if (folder.folderPathResult == hr::False && (csidl & CSIDL_FLAG_CREATE) != 0) {
        created.push_back(folder.path);
    } else if (folder.folderPathResult != hr::Ok) {
        return folder.folderPathResult;
    }
    if (folder.path.empty()) {
        return hr::InvalidArg;  // a virtual folder has no path to give
    }
    WriteZ(buffer, folder.path);
    return hr::Ok;
}

int32_t ShellFolders::GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) {
    locationCalls.push_back(csidl);
    const auto it = folders.find(csidl);
    if (it == folders.end()) {
        return hr::InvalidArg;
    }
    if (it->second.locationResult != hr::Ok) {
        return it->second.locationResult;
    }
    list = nextList_++;
    lists_[list] = csidl;
    return hr::Ok;
}

bool ShellFolders::GetPathFromIdList(ItemIdList list, std::string& buffer) {
    const auto it = lists_.find(list);
    if (it == lists_.end()) {
        return false;
    }
    const std::string& path = folders.at(it->second).path;
    if (path.empty()) {
        return false;
    }
    WriteZ(buffer, path);
    return true;
}

void ShellFolders::FreeIdList(ItemIdList list) {
    freed.push_back(list);
    lists_.erase(list);
}

uint32_t SystemDirs::SystemDirectory(std::string& buffer, uint32_t size) {
    sizes.push_back(size);
    return WriteDirectory(buffer, size, system, failing);
}

uint32_t SystemDirs::WindowsDirectory(std::string& buffer, uint32_t size) {
    sizes.push_back(size);
    return WriteDirectory(buffer, size, windows, failing);
}

uint32_t SystemDirs::TempPath(uint32_t size, std::string& buffer) {
    sizes.push_back(size);
    return WriteDirectory(buffer, size, temp, failing);
}

void Faults::Hit(const std::string& operation) {
    const int call = ++calls[operation];
    const auto it = faults.find(operation);
    if (it != faults.end() && call >= it->second.onCall) {
        throw RuntimeError(it->second.number);
    }
}

void Files::AddFolder(const std::string& path) {
    Entry entry;
    entry.name = path;
    entry.attributes = attr::Directory;
    entries[Fold(path)] = entry;
}

void Files::AddFile(const std::string& path, uint32_t attributes) {
    Entry entry;
    entry.name = path;
    entry.attributes = attributes;
    entries[Fold(path)] = entry;
}

void Files::AddFile(const std::string& path, FileTime time, const std::string& content) {
    AddFile(path);
    entries[Fold(path)].time = time;
    entries[Fold(path)].content = content;
}

const Files::Entry* Files::Find(const std::string& path) const {
    const auto it = entries.find(Fold(path));
    return it == entries.end() ? nullptr : &it->second;
}

bool Files::IsFile(const std::string& path) const {
    const Entry* entry = Find(path);
    return entry != nullptr && (entry->attributes & attr::Directory) == 0;
}

bool Files::IsFolder(const std::string& path) const {
    const Entry* entry = Find(path);
    return entry != nullptr && (entry->attributes & attr::Directory) != 0;
}

uint32_t Files::GetAttributes(const std::string& path) {
    if (path.find_first_of("<>|\"*?") != std::string::npos) {
        throw RuntimeError(err::BadFileName);
    }
    if (const Entry* entry = Find(path)) {
        return entry->attributes;
    }
    throw RuntimeError(IsFolder(ParentOf(path)) ? err::FileNotFound : err::PathNotFound);
}

FileTime Files::LastModified(const std::string& path) {
    faults.Hit("time");
    if (!IsFile(path)) {
        throw RuntimeError(err::FileNotFound);
    }
    return Find(path)->time;
}

// Names of the plain files directly inside a folder, in the map's case-blind order.
std::vector<std::string> Files::NamesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [key, entry] : entries) {
        const bool special = entry.attributes & (attr::Hidden | attr::System | attr::Directory);
        if (!special && Fold(ParentOf(entry.name)) == Fold(folder)) {
            names.push_back(entry.name.substr(folder.size() + 1));
        }
    }
    return names;
}

std::string Files::FirstNormalFile(const std::string& pattern) {
    const auto names = NamesIn(ParentOf(pattern));
    return names.empty() ? std::string() : names.front();
}

std::vector<std::string> Files::ListFiles(const std::string& folder) {
    faults.Hit("list");
    if (!IsFolder(folder)) {
        throw RuntimeError(err::PathNotFound);
    }
    return NamesIn(folder);
}

std::shared_ptr<IFileSystem> Files::CreateFileSystem() {
    faults.Hit("create");
    ++fileSystemsCreated;
    return std::make_shared<FileSystem>(*this);
}

bool FileSystem::FileExists(const std::string& path) {
    files_.faults.Hit("exists");
    return files_.IsFile(path);
}

void FileSystem::CopyFile(const std::string& source, const std::string& destination) {
    files_.faults.Hit("copy");
    if (!files_.IsFile(source)) {
        throw RuntimeError(files_.IsFolder(ParentOf(source)) ? err::FileNotFound
                                                             : err::PathNotFound);
    }
    if (!files_.IsFolder(ParentOf(destination))) {
        throw RuntimeError(err::PathNotFound);
    }
    if (const Files::Entry* existing = files_.Find(destination)) {
        if (existing->inUse || (existing->attributes & attr::ReadOnly) != 0) {
            throw RuntimeError(err::PermissionDenied);
        }
    }
    Files::Entry copy = *files_.Find(source);
    copy.name = destination;
    copy.inUse = false;
    files_.entries[Fold(destination)] = copy;
    copies.push_back(source + " -> " + destination);
}

ThreadHandle Threads::StartEntryPoint(ProcAddress entry) {
    if (!creatable) {
        return 0;
    }
    trace_.push_back("thread " + modules_.entryPoints.at(entry));
    ++open;
    return next_++;
}

WaitResult Threads::Wait(ThreadHandle, uint32_t milliseconds) {
    waits.push_back(milliseconds);
    return waitResult;
}

void Threads::Close(ThreadHandle) {
    --open;
    trace_.push_back("close thread");
}

ProcessHandle Processes::Start(const std::string& commandLine, int showState) {
    trace_.push_back("process " + commandLine);
    if (startError != 0) {
        throw RuntimeError(startError);
    }
    showStates.push_back(showState);
    ++open;
    return next_++;
}

WaitResult Processes::Wait(ProcessHandle, uint32_t milliseconds) {
    trace_.push_back("wait process " + std::to_string(milliseconds));
    return WaitResult::Ended;
}

void Processes::Close(ProcessHandle) {
    --open;
}

Windows::Windows() {
    modules.disk = &files;
    modules.Add("shfolder", {{"SHGetFolderPathA", "SHGetFolderPathW"}});
    shell.folders[CSIDL_APPDATA] = {"C:\\Users\\ann\\AppData\\Roaming"};
    files.AddFolder("C:\\Users\\ann\\AppData\\Roaming");
}

Ports Windows::AsPorts() {
    return {&strings, &shell, &modules, &dirs, &files, &runtime, &view, &threads, &processes};
}

}  // namespace kiv::fake
