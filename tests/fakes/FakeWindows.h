#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/IFiles.h"
#include "platform/IModules.h"
#include "platform/IShellFolders.h"
#include "platform/IStringTable.h"
#include "platform/ISystemDirs.h"
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
        bool loaded = false;     // already in the process
        bool loadable = true;    // a load succeeds
        bool inSystemDir = true;  // reachable by LoadSystemLibrary
    };

    ModuleHandle GetLoaded(const std::string& name) override;
    ModuleHandle LoadSystemLibrary(const std::string& name) override;
    ModuleHandle Load(const std::string& path) override;
    ProcAddress Find(ModuleHandle module, const std::string& exportName) override;
    void Free(ModuleHandle module) override;

    void Add(const std::string& name, Module module) { modules[Fold(name)] = std::move(module); }
    bool IsLoaded(const std::string& name) const;

    std::map<std::string, Module> modules;  // by folded name or path
    std::vector<std::string> calls;         // "load shfolder", "free shfolder", ...

private:
    ModuleHandle HandleOf(const std::string& key) const;
    const std::string* KeyOf(ModuleHandle handle) const;
    ModuleHandle LoadKey(const std::string& key);
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
    uint32_t GetAttributes(const std::string& path) override;

    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, uint32_t attributes = attr::Archive);

    std::map<std::string, uint32_t> entries;  // by folded path
};

// An in-memory Windows behind every port; Install() makes it the process's platform.
struct Windows {
    Windows();
    Ports AsPorts();
    void Install() { InstallPorts(AsPorts()); }

    StringTable strings;
    ShellFolders shell;
    Modules modules;
    SystemDirs dirs;
    Files files;
};

}  // namespace kiv::fake
