#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/FakeFaults.h"
#include "platform/IFiles.h"
#include "platform/IModules.h"
#include "platform/IProcesses.h"
#include "platform/IShellFolders.h"
#include "platform/IStringTable.h"
#include "platform/ISystemDirs.h"
#include "platform/IThreads.h"
#include "platform/Ports.h"

namespace kiv::fake {

// Windows compares paths and module names without regard to case.
std::string Fold(const std::string& text);

// The program's string table, filled from the same catalogue as the real resource.
class StringTable final : public IStringTable {
public:
    StringTable();
    std::optional<std::string> Load(uint16_t id) override;

    std::map<uint16_t, std::string> texts;
    int loads = 0;
};

class Modules final : public IModules {
public:
    struct Module {
        std::set<std::string> exports;
        bool loaded = false;      // already in the process
        bool loadable = true;     // a load succeeds
        bool inSystemDir = true;  // reachable by LoadSystemLibrary
        ModuleHandle handle = 0;  // given by Add
    };

    ModuleHandle GetLoaded(const std::string& name) override;
    ModuleHandle LoadSystemLibrary(const std::string& name) override;
    ModuleHandle Load(const std::string& path) override;
    ProcAddress Find(ModuleHandle module, const std::string& exportName) override;
    void Free(ModuleHandle module) override;

    void Add(const std::string& name, Module module) {
        module.handle = nextHandle_++;
        modules[Fold(name)] = std::move(module);
    }
    bool IsLoaded(const std::string& name) const;

    std::map<std::string, Module> modules;           // by folded name or path
    std::vector<std::string> calls;                  // "load shfolder", "free shfolder", ...
    std::map<ProcAddress, std::string> entryPoints;  // "MODULE!export" by address
    // Where Load finds files not listed above: any file there loads as a component
    // with both registration entry points, unless its content says "not a library".
    class Files* disk = nullptr;

private:
    ModuleHandle HandleOf(const std::string& key) const;
    const std::string* KeyOf(ModuleHandle handle) const;
    ModuleHandle LoadKey(const std::string& key);
    ModuleHandle nextHandle_ = 0x10000;
};

class ShellFolders final : public IShellFolders {
public:
    struct Folder {
        std::string path;  // empty for a virtual folder
        int32_t folderPathResult = hr::Ok;
        int32_t locationResult = hr::Ok;
    };
    struct FolderPathCall {
        int32_t csidl;
        uint32_t flags;
    };

    int32_t GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) override;
    int32_t GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) override;
    bool GetPathFromIdList(ItemIdList list, std::string& buffer) override;
    void FreeIdList(ItemIdList list) override;

    std::map<int32_t, Folder> folders;  // by CSIDL without flags
    std::vector<FolderPathCall> folderPathCalls;
    std::vector<int32_t> locationCalls;
    std::vector<ItemIdList> freed;
    std::vector<std::string> created;  // folders made because of the creation flag

private:
    std::map<ItemIdList, int32_t> lists_;  // live item lists and their CSIDL
    ItemIdList nextList_ = 0x1000;
};

class SystemDirs final : public ISystemDirs {
public:
    uint32_t SystemDirectory(std::string& buffer, uint32_t size) override;
    uint32_t WindowsDirectory(std::string& buffer, uint32_t size) override;
    uint32_t TempPath(uint32_t size, std::string& buffer) override;

    std::string system = "C:\\WINDOWS\\system32";
    std::string windows = "C:\\WINDOWS";
    std::string temp = "C:\\Temp\\";
    bool failing = false;
    std::vector<uint32_t> sizes;  // buffer size of every call
};

class Files final : public IFiles {
public:
    struct Entry {
        std::string name;  // as created, case kept
        uint32_t attributes = attr::Archive;
        FileTime time = 0;
        std::string content;
        bool inUse = false;  // open elsewhere without sharing
    };

    uint32_t GetAttributes(const std::string& path) override;
    FileTime LastModified(const std::string& path) override;
    std::string FirstNormalFile(const std::string& pattern) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
    std::shared_ptr<IFileSystem> CreateFileSystem() override;

    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, uint32_t attributes = attr::Archive);
    void AddFile(const std::string& path, FileTime time, const std::string& content);
    const Entry* Find(const std::string& path) const;
    bool IsFile(const std::string& path) const;
    bool IsFolder(const std::string& path) const;
    std::vector<std::string> NamesIn(const std::string& folder) const;

    std::map<std::string, Entry> entries;  // by folded path
    Faults faults;
    int fileSystemsCreated = 0;
};

// "Scripting.FileSystemObject" over the fake files.
class FileSystem final : public IFileSystem {
public:
    explicit FileSystem(Files& files) : files_(files) {}
    bool FileExists(const std::string& path) override;
    void CopyFile(const std::string& source, const std::string& destination) override;

    std::vector<std::string> copies;  // "source -> destination"

private:
    Files& files_;
};

// Worker threads: each runs the entry point "at once" and is recorded; a test sets how
// the wait on it ends.
class Threads final : public IThreads {
public:
    Threads(Modules& modules, std::vector<std::string>& trace) : modules_(modules), trace_(trace) {}
    ThreadHandle StartEntryPoint(ProcAddress entry) override;
    WaitResult Wait(ThreadHandle thread, uint32_t milliseconds) override;
    void Close(ThreadHandle thread) override;

    bool creatable = true;
    WaitResult waitResult = WaitResult::Ended;
    std::vector<uint32_t> waits;
    int open = 0;  // handles not yet closed

private:
    Modules& modules_;
    std::vector<std::string>& trace_;
    ThreadHandle next_ = 0x500;
};

class Processes final : public IProcesses {
public:
    explicit Processes(std::vector<std::string>& trace) : trace_(trace) {}
    ProcessHandle Start(const std::string& commandLine, int showState) override;
    WaitResult Wait(ProcessHandle process, uint32_t milliseconds) override;
    void Close(ProcessHandle process) override;

    int32_t startError = 0;
    std::vector<int> showStates;
    int open = 0;

private:
    std::vector<std::string>& trace_;
    ProcessHandle next_ = 0x900;
};

}  // namespace kiv::fake

#include "fakes/FakeUi.h"

namespace kiv::fake {

// An in-memory Windows behind every port; Install() makes it the process's platform.
struct Windows {
    Windows();
    Ports AsPorts();
    void Install() { InstallPorts(AsPorts()); }

    Trace trace;
    StringTable strings;
    ShellFolders shell;
    Modules modules;
    SystemDirs dirs;
    Files files;
    Runtime runtime{trace};
    View view{trace};
    Threads threads{modules, trace};
    Processes processes{trace};
};

}  // namespace kiv::fake
