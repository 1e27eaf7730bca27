#pragma once

#include <map>
#include <set>
#include <vector>

#include "folders/CSystemFolders.h"
#include "platform/IFiles.h"
#include "platform/IGuardNames.h"
#include "platform/IModules.h"
#include "platform/IProcesses.h"
#include "platform/IRuntime.h"
#include "platform/IShellFolders.h"
#include "platform/IStringTable.h"
#include "platform/ISystemDirs.h"
#include "platform/IThreads.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "ui/IUpdateView.h"

// An in-memory Windows behind every port. The fakes write what the program did, in order,
// to one trace ("label 21 =...", "pointer 11", "thread DllRegisterServer", ...), so that a
// test compares whole sequences of steps.
namespace kiv::fake {

using Lines = std::vector<std::string>;

// Windows compares paths and module names without regard to case.
std::string Fold(const std::string& text);

// Thrown by Runtime::End so a test sees the process end without losing its own.
struct ProgramEnded {
    int exitCode;
};

// What the fakes share: the trace, and the failures a test injects by operation ("list",
// "exists", "time", "copy", "create", "progress", "regsvr32", "relaunch"). A failure strikes
// on the given call (1 = the first) and on every call after.
struct Shared {
    void Inject(const std::string& operation, int32_t number, int onCall = 1) {
        faults[operation] = {number, onCall};
    }
    void Hit(const std::string& operation) {
        const auto fault = faults.find(operation);
        if (++calls[operation] >= (fault == faults.end() ? INT32_MAX : fault->second.second)) {
            throw RuntimeError(fault->second.first);
        }
    }

    // How the waits on workers and processes end, in order; those past the list end at once.
    WaitResult NextWait() {
        const auto next = static_cast<size_t>(calls["wait"]++);
        return next < waits.size() ? waits[next] : WaitResult::Ended;
    }

    Lines trace;
    std::map<std::string, std::pair<int32_t, int>> faults;
    std::map<std::string, int> calls;
    std::vector<WaitResult> waits;
};

// Each fake records into, and fails through, what the fakes share.
struct Part {
    explicit Part(Shared& shared) : trace(shared.trace), shared(shared) {}
    Lines& trace;
    Shared& shared;
};

// The program's string table, filled from the same catalogue as the real resource.
struct StringTable final : IStringTable {
    StringTable();
    std::optional<std::string> Load(uint16_t id) override {
        const auto it = texts.find(id);
        return it == texts.end() || it->second.empty() ? std::nullopt : std::optional(it->second);
    }
    std::map<uint16_t, std::string> texts;
};

struct Files final : IFiles, Part {
    struct Entry {
        std::string path;  // as created, case kept
        uint32_t attributes = attr::Archive;
        FileTime time = 0;
        std::string content;
    };
    using Part::Part;
    uint32_t GetAttributes(const std::string& path) override {
        return Find(path) ? Find(path)->attributes : throw RuntimeError(err::PathNotFound);
    }
    FileTime LastModified(const std::string& path) override {
        shared.Hit("time");
        return IsFile(path) ? Find(path)->time : throw RuntimeError(err::FileNotFound);
    }
    std::string FirstNormalFile(const std::string& pattern) override {
        const auto names = NamesIn(pattern.substr(0, pattern.rfind('\\')));
        return names.empty() ? std::string() : names.front();
    }
    std::vector<std::string> ListFiles(const std::string& folder) override {
        shared.Hit("list");
        return IsFolder(folder) ? NamesIn(folder) : throw RuntimeError(err::PathNotFound);
    }
    std::shared_ptr<IFileSystem> CreateFileSystem() override;

    void Add(const std::string& path, uint32_t attributes = attr::Archive, FileTime time = 0,
             const std::string& content = "") {
        entries[Fold(path)] = {path, attributes, time, content};
    }
    const Entry* Find(const std::string& path) const {
        const auto it = entries.find(Fold(path));
        return it == entries.end() ? nullptr : &it->second;
    }
    bool IsFile(const std::string& path) const { return Find(path) && !IsFolder(path); }
    bool IsFolder(const std::string& path) const {
        return Find(path) && (Find(path)->attributes & attr::Directory) != 0;
    }

    std::map<std::string, Entry> entries;  // by folded path
    Lines copies;                          // "source -> destination"

private:
    // The plain files directly inside a folder, in case-blind order.
    std::vector<std::string> NamesIn(const std::string& folder) const;
};

// "Scripting.FileSystemObject" over the fake files.
struct FileSystem final : IFileSystem, Part {
    explicit FileSystem(Files& files) : Part(files), files(files) {}
    bool FileExists(const std::string& path) override {
        shared.Hit("exists");
        return files.IsFile(path);
    }
    void CopyFile(const std::string& source, const std::string& destination) override;
    Files& files;
};

// Libraries by folded name or path; a file on the fake disk loads as a component with both
// registration entry points, which return `result`. Handles and entry points are the
// addresses of the records.
struct Modules final : IModules, Part {
    struct Module {
        std::string name;
        std::set<std::string> exports;
        bool loaded = false;  // already in the process
        bool loadable = true;
        int32_t result = 0;
    };
    Modules(Shared& shared, Files& disk) : Part(shared), disk(disk) {}
    ModuleHandle GetLoaded(const std::string& name) override {
        trace.push_back("find " + name);
        const auto it = modules.find(Fold(name));
        return it != modules.end() && it->second.loaded ? Handle(it->second) : 0;
    }
    ModuleHandle LoadSystemLibrary(const std::string& name) override {
        trace.push_back("load system " + name);
        return LoadRecord(name);
    }
    ProcAddress Find(ModuleHandle module, const std::string& exportName) override {
        const auto& exports = reinterpret_cast<Module*>(module)->exports;
        const auto it = exports.find(exportName);
        return it == exports.end() ? 0 : reinterpret_cast<ProcAddress>(&*it);
    }
    void Free(ModuleHandle module) override {
        Module& record = *reinterpret_cast<Module*>(module);
        record.loaded = false;
        trace.push_back("free " + record.name);
    }

    void Add(const std::string& name, std::set<std::string> exports, int32_t result = 0) {
        modules[Fold(name)] = {name, std::move(exports), false, true, result};
    }
    // What a registration worker finds: loads the component, calls the export, frees it.
    Registered Register(const std::string& path, const std::string& exportName) {
        if (modules.count(Fold(path)) == 0 && disk.IsFile(path)) {
            Add(path, {"DllRegisterServer", "DllUnregisterServer"});
        }
        const ModuleHandle module = LoadRecord(path);
        if (module == 0) {
            return {Registered::Kind::NotLoaded, 0};
        }
        const Module& record = *reinterpret_cast<Module*>(module);
        modules[Fold(path)].loaded = false;
        return record.exports.count(exportName) == 0
                   ? Registered{Registered::Kind::NoEntryPoint, 0}
                   : Registered{Registered::Kind::Returned, record.result};
    }
    std::map<std::string, Module> modules;
    Files& disk;

private:
    static ModuleHandle Handle(Module& record) { return reinterpret_cast<ModuleHandle>(&record); }
    ModuleHandle LoadRecord(const std::string& name) {
        const auto it = modules.find(Fold(name));
        if (it == modules.end() || !it->second.loadable) {
            return 0;
        }
        it->second.loaded = true;
        return Handle(it->second);
    }
};

// Paths are written with their NUL over the start of the buffer, as the system does. An item
// list is its CSIDL plus 0x1000.
struct ShellFolders final : IShellFolders, Part {
    struct Folder {
        std::string path;  // empty for a virtual folder
        int32_t folderPathResult = hr::Ok;
    };
    using Part::Part;
    int32_t GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) override {
        trace.push_back("folder path " + std::to_string(csidl) + " " + std::to_string(flags));
        const auto it = folders.find(csidl & ~CSIDL_FLAG_CREATE);
        if (it == folders.end() || it->second.path.empty()) {
            return hr::InvalidArg;
        }
        buffer.replace(0, it->second.path.size() + 1, it->second.path + '\0');
        return it->second.folderPathResult;
    }
    int32_t GetSpecialFolderLocation(int32_t csidl, ItemIdList& list) override {
        trace.push_back("location " + std::to_string(csidl));
        if (folders.count(csidl) == 0) {
            return hr::InvalidArg;
        }
        list = static_cast<ItemIdList>(csidl) + 0x1000;
        freed.erase(list);
        return hr::Ok;
    }
    bool GetPathFromIdList(ItemIdList list, std::string& buffer) override {
        const std::string& path = freed.count(list)
                                      ? std::string()  // freed: nothing to read
                                      : folders.at(static_cast<int32_t>(list - 0x1000)).path;
        buffer.replace(0, path.size() + 1, path + '\0');
        return !path.empty();
    }
    void FreeIdList(ItemIdList list) override {
        trace.push_back("free list");
        freed.insert(list);
    }
    std::set<ItemIdList> freed;

    std::map<int32_t, Folder> folders;  // by CSIDL without flags
};

struct SystemDirs final : ISystemDirs, Part {
    using Part::Part;
    uint32_t SystemDirectory(std::string& buffer, uint32_t size) override {
        return Write("system dir", system, buffer, size);
    }
    uint32_t WindowsDirectory(std::string& buffer, uint32_t size) override {
        return Write("windows dir", windows, buffer, size);
    }
    uint32_t TempPath(uint32_t size, std::string& buffer) override {
        return Write("temp dir", temp, buffer, size);
    }

    std::string system = "C:\\WINDOWS\\system32", windows = "C:\\WINDOWS", temp = "C:\\Temp\\";
    bool failing = false;

private:
    uint32_t Write(const std::string& call, const std::string& path, std::string& buffer,
                   uint32_t size) {
        trace.push_back(call + " " + std::to_string(size));
        if (failing || path.size() + 1 > size) {
            return failing ? 0 : static_cast<uint32_t>(path.size() + 1);
        }
        buffer.replace(0, path.size() + 1, path + '\0');
        return static_cast<uint32_t>(path.size());
    }
};

// A worker registers at once; the test sets how the waits on it end.
struct Threads final : IThreads, Part {
    Threads(Shared& shared, Modules& modules) : Part(shared), modules(modules) {}
    ThreadHandle StartRegistration(const std::string& path, const std::string& name) override {
        if (!creatable) {
            return 0;
        }
        trace.push_back("thread " + name + " " + path);
        outcome = modules.Register(path, name);
        return 0x500;
    }
    Registered Outcome(ThreadHandle) override { return outcome; }
    WaitResult Wait(ThreadHandle, uint32_t milliseconds) override {
        trace.push_back("wait thread " + std::to_string(milliseconds));
        return shared.NextWait();
    }
    void Close(ThreadHandle) override { trace.push_back("close thread"); }

    bool creatable = true;
    Registered outcome;
    Modules& modules;
};

struct Processes final : IProcesses, Part {
    using Part::Part;
    ProcessHandle Start(const std::string& commandLine, int showState) override {
        trace.push_back("process " + commandLine + " | show " + std::to_string(showState));
        shared.Hit("regsvr32");
        return 0x900;
    }
    WaitResult Wait(ProcessHandle, uint32_t milliseconds) override {
        trace.push_back("wait process " + std::to_string(milliseconds));
        return shared.NextWait();
    }
    uint32_t ExitCode(ProcessHandle) override { return exitCode; }
    void Close(ProcessHandle) override { trace.push_back("close process"); }

    uint32_t exitCode = 0;
};

struct Runtime final : IRuntime, Part {
    using Part::Part;
    std::string ArgumentText() override { return argumentText; }
    bool AnotherInstanceRunning() override { return anotherInstance; }
    void Beep() override { trace.push_back("beep"); }
    void MessageBox(const std::string& text, const std::string& title, uint32_t style) override {
        trace.push_back("box " + title + " " + std::to_string(style) + ": " + text);
    }
    std::string AppTitle() override { return "kivupdate"; }
    void SetMousePointer(int value) override {
        pointer = value;
        trace.push_back("pointer " + std::to_string(value));
    }
    int MousePointer() override { return pointer; }
    void DoEvents() override { trace.push_back("doevents"); }
    void Start(const std::string& commandLine, int showState) override {
        trace.push_back("start " + commandLine + " | show " + std::to_string(showState));
        shared.Hit("relaunch");
    }
    bool StartAsDesktopUser(const std::string& commandLine, int showState) override {
        trace.push_back("desktop start " + commandLine + " | show " + std::to_string(showState));
        return desktopStarts;
    }
    [[noreturn]] void End(int exitCode) override {
        trace.push_back("end " + std::to_string(exitCode));
        throw ProgramEnded{exitCode};
    }

    std::string argumentText;
    bool anotherInstance = false;
    bool desktopStarts = false;  // as under wine, which has no shell window
    int pointer = 0;
};

struct GuardNames final : IGuardNames {
    GuardNames(Claim administrators, Claim open) : administrators(administrators), open(open) {}
    Claim ClaimAdministratorsName() override { return administrators; }
    Claim ClaimOpenName() override { return open; }
    Claim administrators, open;
};

class View final : public IUpdateView, public IViewFactory, public Part {
public:
    using Part::Part;
    IUpdateView& CreateUpdateView(FrmUpdate& form) override;
    void SetLabelCaption(int index, const std::string& caption) override {
        trace.push_back("label " + std::to_string(index) + " =" + caption);
    }
    void SetLabelVisible(int index, bool show) override { visible[index] = show; }
    void RefreshLabel(int index) override { trace.push_back("repaint " + std::to_string(index)); }
    void AddLogLine(const std::string& line) override { log.push_back(line); }
    int32_t ProgressValue() override { return value; }
    int32_t ProgressMax() override { return maximum; }
    int32_t ProgressMin() override { return minimum; }
    void SetProgressValue(int32_t newValue) override {
        shared.Hit("progress");
        value = newValue;
        trace.push_back("progress " + std::to_string(newValue));
    }
    void Refresh() override { trace.push_back("refresh window"); }
    void SetExtendedStyle(uint32_t style) override { exStyle = style; }
    void SetLayeredAlpha(uint8_t opacity) override { alpha = opacity; }
    void BeginPass(const std::string& reason) override {
        passReason = reason;
        passBegan = trace.size();
    }
    void EndPass() override { passEnded = trace.size(); }
    // Load, first activation, then the way the user ends it.
    void ShowModal() override;

    bool pressEnd = false;  // "End" rather than the close command
    std::map<int, bool> visible;
    Lines log;
    int32_t value = 0, minimum = 0, maximum = 100;
    uint32_t exStyle = 0x00040000;        // as created, before the form makes it layered
    int alpha = -1;                       // not layered yet
    std::string passReason;               // what Windows is told keeps the session up
    size_t passBegan = 0, passEnded = 0;  // the trace's length then

private:
    FrmUpdate* form_ = nullptr;
};

struct Windows : Shared {
    Windows();
    void Install() {
        InstallPorts(
            {&strings, &shell, &modules, &dirs, &files, &runtime, &view, &threads, &processes});
    }

    StringTable strings;
    Files files{*this};
    Modules modules{*this, files};
    ShellFolders shell{*this};
    SystemDirs dirs{*this};
    Runtime runtime{*this};
    View view{*this};
    Threads threads{*this, modules};
    Processes processes{*this};
};

}  // namespace kiv::fake
