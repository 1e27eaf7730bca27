#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "folders/CSystemFolders.h"
#include "platform/CommandLine.h"
#include "platform/ErrorTrap.h"
#include "platform/IFiles.h"
#include "platform/IGuardNames.h"
#include "platform/IModules.h"
#include "platform/IProcesses.h"
#include "platform/IRegistrations.h"
#include "platform/IRuntime.h"
#include "platform/IShellFolders.h"
#include "platform/IStringTable.h"
#include "platform/ISystemDirs.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "ui/FrmUpdate.h"
#include "ui/IUpdateView.h"

// An in-memory Windows behind every port.
namespace kiv::fake {

using Lines = std::vector<std::string>;

// Windows compares paths and module names without regard to case.
inline std::string Fold(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// Thrown by Runtime::End so a test sees the process end without losing its own.
struct ProgramEnded {
    int exitCode;
};

// The one recorder of every fake: what the program did, in order ("label 21 =...",
// "pointer 11", "registration DllRegisterServer C:\a.dll"...), and the failures a test injects by
// operation ("list", "exists", "time", "copy", "create", "progress", "regsvr32",
// "relaunch"), which strike on the given call (1 = the first) and on every call after.
struct Recorder {
    void Inject(const std::string& operation, int32_t number, int onCall = 1) {
        faults[operation] = {number, onCall};
    }
    void Hit(const std::string& operation) {
        const auto fault = faults.find(operation);
        if (++calls[operation] >= (fault == faults.end() ? INT32_MAX : fault->second.second)) {
            throw RuntimeError(fault->second.first);
        }
    }
    // How the waits on registrations and processes end, in order; those past the list end at
    // once.
    WaitResult NextWait() {
        const auto next = static_cast<size_t>(calls["wait"]++);
        return next < waits.size() ? waits[next] : WaitResult::Ended;
    }
    void Note(const std::string& line) { trace.push_back(line); }
    // A call, noted, that fails where a failure of its operation was injected.
    void Call(const std::string& operation, const std::string& line) { Note(line), Hit(operation); }

    Lines trace;
    std::vector<WaitResult> waits;
    std::map<std::string, std::pair<int32_t, int>> faults;
    std::map<std::string, int> calls;
};

struct Part {
    explicit Part(Recorder& recorder) : rec(recorder) {}
    Recorder& rec;
};

// The program's string table, filled from the same catalogue as the real resource.
struct StringTable final : IStringTable {
    StringTable() {
#define KIV_MESSAGE(id, text) texts[id] = text;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
    }
    std::optional<std::string> Load(uint16_t id) override {
        const auto it = texts.find(id);
        return it == texts.end() || it->second.empty() ? std::nullopt : std::optional(it->second);
    }
    std::map<uint16_t, std::string> texts;
};

// The disk, and "Scripting.FileSystemObject" over it, which traces "copy to <path>".
struct Files final : IFiles, IFileSystem, Part {
    struct Entry {
        std::string path;  // as created, case kept
        uint32_t attributes = attr::Archive;
        FileTime time = 0;
    };
    using Part::Part;
    uint32_t GetAttributes(const std::string& path) override {
        return Find(path) ? Find(path)->attributes : throw RuntimeError(err::PathNotFound);
    }
    FileTime LastModified(const std::string& path) override {
        rec.Hit("time");
        return IsFile(path) ? Find(path)->time : throw RuntimeError(err::FileNotFound);
    }
    std::string FirstNormalFile(const std::string& pattern) override {
        const auto names = NamesIn(pattern.substr(0, pattern.rfind('\\')));
        return names.empty() ? std::string() : names.front();
    }
    std::vector<std::string> ListFiles(const std::string& folder) override {
        rec.Hit("list");
        return IsFolder(folder) ? NamesIn(folder) : throw RuntimeError(err::PathNotFound);
    }
    std::shared_ptr<IFileSystem> CreateFileSystem() override {
        rec.Hit("create");
        return std::shared_ptr<IFileSystem>(std::shared_ptr<void>(), this);  // the disk's own
    }
    bool FileExists(const std::string& path, FileLook& found) override {
        rec.Hit("exists");
        found = Look(path);
        return IsFile(path);
    }
    // What the pass hands on must be what is at the destination.
    // A pinned pass is held against the real disk (the end-to-end suite), never against this.
    std::string ReadAll(const std::string&) override { throw RuntimeError(err::InvalidCall); }
    std::shared_ptr<void> HoldAsListed(const std::string&, const ListedFile&) override {
        throw RuntimeError(err::InvalidCall);
    }
    void CopyFile(const std::string& source, const std::string& destination,
                  const FileLook& destinationLook, const ListedFile* listed) override {
        rec.Hit("copy");
        const FileLook installed = Look(destination);
        if (listed || installed.attributes != destinationLook.attributes ||
            installed.lastModified != destinationLook.lastModified) {
            throw RuntimeError(err::InvalidCall);
        }
        const Entry& staged = Find(source) ? *Find(source) : throw RuntimeError(err::FileNotFound);
        Add(destination, staged.attributes, staged.time);
        rec.Note("copy to " + destination);
    }

    void Add(const std::string& path, uint32_t attributes = attr::Archive, FileTime time = 0) {
        entries[Fold(path)] = {path, attributes, time};
    }
    const Entry* Find(const std::string& path) const {
        const auto it = entries.find(Fold(path));
        return it == entries.end() ? nullptr : &it->second;
    }
    bool IsFile(const std::string& path) const { return Find(path) && !IsFolder(path); }
    bool IsFolder(const std::string& path) const {
        return Find(path) && (Find(path)->attributes & attr::Directory) != 0;
    }
    FileLook Look(const std::string& path) const {
        return IsFile(path) ? FileLook{Find(path)->attributes, Find(path)->time} : FileLook{};
    }
    // The plain files directly inside a folder, in case-blind order.
    std::vector<std::string> NamesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& [key, entry] : entries) {
            const bool special = entry.attributes & (attr::Hidden | attr::System | attr::Directory);
            if (!special && Fold(entry.path.substr(0, entry.path.rfind('\\'))) == Fold(folder)) {
                names.push_back(entry.path.substr(folder.size() + 1));
            }
        }
        return names;
    }

    std::map<std::string, Entry> entries;  // by folded path
};

// Libraries by folded name; handles and entry points are the addresses of the records.
struct Modules final : IModules, Part {
    struct Module {
        std::set<std::string> exports;
        bool loaded = false;
        bool loadable = true;
    };
    using Part::Part;
    ModuleHandle GetLoaded(const std::string& name) override {
        rec.Note("find " + name);
        const auto it = modules.find(Fold(name));
        return it != modules.end() && it->second.loaded ? Handle(it->second) : 0;
    }
    ModuleHandle LoadSystemLibrary(const std::string& name) override {
        rec.Note("load system " + name);
        const auto it = modules.find(Fold(name));
        if (it == modules.end() || !it->second.loadable) {
            return 0;
        }
        it->second.loaded = true;
        return Handle(it->second);
    }
    ProcAddress Find(ModuleHandle module, const std::string& exportName) override {
        const auto& exports = reinterpret_cast<Module*>(module)->exports;
        const auto it = exports.find(exportName);
        return it == exports.end() ? 0 : reinterpret_cast<ProcAddress>(&*it);
    }
    void Free(ModuleHandle module) override {
        reinterpret_cast<Module*>(module)->loaded = false;
        rec.Note("free");
    }
    static ModuleHandle Handle(Module& record) { return reinterpret_cast<ModuleHandle>(&record); }

    std::map<std::string, Module> modules;  // by folded name
};

// Paths are written with their NUL over the start of the buffer, as the system does. The
// older route finds no item list here: the program takes it only where shfolder is too old.
struct ShellFolders final : IShellFolders, Part {
    struct Folder {
        std::string path;  // empty for a virtual folder
        int32_t folderPathResult = hr::Ok;
    };
    using Part::Part;
    int32_t GetFolderPath(int32_t csidl, uint32_t flags, std::string& buffer) override {
        rec.Note("folder path " + std::to_string(csidl) + " " + std::to_string(flags));
        const auto it = folders.find(csidl & ~CSIDL_FLAG_CREATE);
        if (it == folders.end() || it->second.path.empty()) {
            return hr::InvalidArg;
        }
        buffer.replace(0, it->second.path.size() + 1, it->second.path + '\0');
        return it->second.folderPathResult;
    }
    int32_t GetSpecialFolderLocation(int32_t csidl, ItemIdList&) override {
        rec.Note("location " + std::to_string(csidl));
        return hr::InvalidArg;
    }
    bool GetPathFromIdList(ItemIdList, std::string&) override { return false; }
    void FreeIdList(ItemIdList) override { rec.Note("free list"); }

    std::map<int32_t, Folder> folders;  // by CSIDL without flags
};

// Only the system folder is asked for; the other folders are never found.
struct SystemDirs final : ISystemDirs {
    uint32_t SystemDirectory(std::string& buffer, uint32_t size) override {
        if (system.empty() || system.size() + 1 > size) {
            return system.empty() ? 0 : static_cast<uint32_t>(system.size() + 1);
        }
        buffer.replace(0, system.size() + 1, system + '\0');
        return static_cast<uint32_t>(system.size());
    }
    uint32_t WindowsDirectory(std::string&, uint32_t) override { return 0; }
    uint32_t TempPath(uint32_t, std::string&) override { return 0; }

    std::string system;  // empty: it cannot be read
};

// What the pass starts and waits for: regsvr32 and the registrations. Each ends at once
// unless the test says how the waits end; a component's entry point returns 0 and regsvr32
// ends with 0 unless the test says otherwise.
struct Processes final : IProcesses, IRegistrations, Part {
    using Part::Part;
    ProcessHandle Start(const std::string& commandLine, int showState) override {
        rec.Call("regsvr32", "process " + commandLine + " | show " + std::to_string(showState));
        return 0x900;
    }
    RegistrationHandle Start(const std::string& path, const std::string& name) override {
        if (startable) {
            rec.Note("registration " + name + " " + path);
        }
        return startable ? 0x500 : 0;
    }
    WaitResult Wait(std::uintptr_t, uint32_t milliseconds) override {
        rec.Note("wait " + std::to_string(milliseconds));
        return rec.NextWait();
    }
    uint32_t ExitCode(ProcessHandle) override { return exitCode; }
    Registered Outcome(RegistrationHandle) override { return outcome; }
    void Close(std::uintptr_t handle) override {
        rec.Note(handle == 0x900 ? "close process" : "close registration");
    }

    uint32_t exitCode = 0;
    bool startable = true;
    Registered outcome = {Registered::Kind::Returned, 0};
};

struct Runtime final : IRuntime, Part {
    using Part::Part;
    std::string ArgumentText() override { return ArgumentTextOf(commandLine); }
    bool AnotherInstanceRunning() override { return anotherInstance; }
    void Beep() override { rec.Note("beep"); }
    void MessageBox(const std::string& text, const std::string& title, uint32_t style) override {
        rec.Note("box " + title + " " + std::to_string(style) + ": " + text);
    }
    std::string AppTitle() override { return "kivupdate"; }
    void SetMousePointer(int value) override {
        rec.Note("pointer " + std::to_string(pointer = value));
    }
    int MousePointer() override { return pointer; }
    void DoEvents() override { rec.Note("doevents"); }
    void Start(const std::string& commandLine, int showState) override {
        rec.Call("relaunch", "start " + commandLine + " | show " + std::to_string(showState));
    }
    bool StartAsDesktopUser(const std::string& commandLine, int showState) override {
        rec.Note("desktop start " + commandLine + " | show " + std::to_string(showState));
        return desktopStarts;
    }
    [[noreturn]] void End(int exitCode) override {
        rec.Note("end " + std::to_string(exitCode));
        throw ProgramEnded{exitCode};
    }

    std::string commandLine = "kivupdate.exe";  // as Windows gives it
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

// The window: captions, the indicator and the pass go to the trace, the log to a list of its
// own.
struct View final : IUpdateView, IViewFactory, Part {
    using Part::Part;
    IUpdateView& CreateUpdateView(FrmUpdate& shown) override {
        form = &shown;
        shown.AttachView(*this);
        return *this;
    }
    void SetLabelCaption(int index, const std::string& caption) override {
        rec.Note("label " + std::to_string(index) + " =" + caption);
    }
    void SetLabelVisible(int index, bool show) override {
        rec.Note("label " + std::to_string(index) + (show ? " shown" : " hidden"));
    }
    void AddLogLine(const std::string& line) override { log.push_back(line); }
    int32_t ProgressValue() override { return value; }
    int32_t ProgressMax() override { return maximum; }
    int32_t ProgressMin() override { return minimum; }
    void SetProgressValue(int32_t newValue) override {
        rec.Hit("progress");
        rec.Note("progress " + std::to_string(value = newValue));
    }
    void Refresh() override { rec.Note("refresh window"); }
    void SetExtendedStyle(uint32_t style) override { exStyle = style; }
    void SetLayeredAlpha(uint8_t opacity) override { alpha = opacity; }
    void RunPass(const std::string& reason, std::function<void()> pass) override {
        rec.Note("begin pass " + reason);
        pass();
        rec.Note("end pass");
    }
    // Load, first activation, then "End" when pressEnd.
    void ShowModal() override {
        RunEvent([this] { form->Form_Load(); });
        RunEvent([this] { form->Form_Activate(); });
        if (pressEnd) {
            RunEvent([this] { form->Command1_Click(); });
        }
    }

    FrmUpdate* form = nullptr;
    bool pressEnd = false;
    Lines log;
    int32_t value = 0, minimum = 0, maximum = 100;
    uint32_t exStyle = 0x00040000;  // as created, before the form makes it layered
    int alpha = -1;                 // not layered yet
};

struct Windows : Recorder {
    Windows() {
        modules.modules["SHFOLDER"] = {{"SHGetFolderPathA", "SHGetFolderPathW"}};
        shell.folders[CSIDL_APPDATA] = {"C:\\Users\\ann\\AppData\\Roaming"};
        files.Add("C:\\Users\\ann\\AppData\\Roaming", attr::Directory);
    }
    void Install() {
        InstallPorts(
            {&strings, &shell, &modules, &dirs, &files, &runtime, &view, &processes, &processes});
    }

    StringTable strings;
    Files files{*this};
    Modules modules{*this};
    ShellFolders shell{*this};
    SystemDirs dirs;
    Runtime runtime{*this};
    View view{*this};
    Processes processes{*this};
};

}  // namespace kiv::fake
