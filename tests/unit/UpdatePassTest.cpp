#include "engine/RegisterComponent.h"
#include "engine/Registration.h"
#include "engine/UpdatePass.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

using UpdatePassTest = ProgramFixture;

// The last step shown tells whether a component was registered again: each one copied is,
// except a replacement in the Library folder.
TEST_F(UpdatePassTest, CopiesEachKindWhereItBelongsWhenMissingOrStrictlyOlder) {
    // staged file, 64-bit, destination folder ("": skipped), installed before (0: not),
    // copied, last step shown
    const std::tuple<std::string, bool, std::string, FileTime, bool, std::string> cases[] = {
        {"Grid.Ocx", false, kSys32, 0, true, kRegistering},
        {"KEYS.dep", false, kSys32, 0, true, kDetermine},
        {"a.LIB", false, kSys32, 0, true, kDetermine},
        {"b.oca", false, kSys32, 0, true, kDetermine},
        {"c.Exp", false, kSys32, 0, true, kDetermine},
        {"notes.txt", false, "", 0, false, kDetermine},
        {"setup.exe", false, "", 0, false, kDetermine},
        {"dll", false, "", 0, false, kDetermine},
        {"README", false, "", 0, false, kDetermine},
        {"KIVDATALIB.DLL", false, kLibrary, 0, true, kRegistering},
        {"kivlib.dll", false, kLibrary, 0, true, kRegistering},
        {"kivlib.ocx", false, kSys32, 0, true, kRegistering},
        {"kivdata.dll", false, kSys32, 0, true, kRegistering},
        {"abclib.dll", false, kSys32, 0, true, kRegistering},
        {"Grid.ocx", true, kWow64, 0, true, kRegistering},
        {"KEYS.dep", true, kSys32, 0, true, kDetermine},
        {"kivlib.dll", true, kLibrary, 0, true, kRegistering},
        {"Grid.ocx", false, kSys32, kNew - 1, true, kRegistering},
        {"Grid.ocx", false, kSys32, kNew, false, kCopy},
        {"Grid.ocx", false, kSys32, kNew + 1, false, kCopy},
        {"Grid.ocx", true, kSys32, kNew - 1, true, kRegistering},
        {"kivlib.dll", false, kLibrary, kNew - 1, true, kCopy},
    };
    for (const auto& [name, windows64, folder, installed, copied, lastStep] : cases) {
        SCOPED_TRACE(name + (windows64 ? " 64-bit " : " ") + std::to_string(installed));
        Reset(windows64);
        if (installed != 0) {
            win->files.Add(folder + "\\" + name, attr::Archive, installed, "old");
        }
        Stage(name);
        RunPass();
        EXPECT_EQ(win->files.copies.size(), copied ? 1u : 0u);
        if (!folder.empty()) {
            EXPECT_EQ(Content(folder + "\\" + name), copied ? "new " + name : "old");
        }
        EXPECT_EQ(Tail(win->view.log, 3), (Lines{lastStep, " ...", " ..."}));
        EXPECT_EQ(Traced("progress"), (Lines{"progress 10", "progress 100"}));
    }
}

TEST_F(UpdatePassTest, Detects64BitWindowsFromTheSystemFolder) {
    const std::tuple<const char*, bool, std::string> cases[] = {
        {"C:\\WINDOWS\\system32", true, kWow64},
        {"C:\\WINDOWS\\SYSTEM32", true, kWow64},
        {"C:\\WINDOWS\\system32\\x", true, kWow64},
        {"C:\\WINDOWS\\system32", false, ""},  // only a hidden file there
        {"C:\\WINDOWS\\SYSTEM", true, ""},
    };
    for (const auto& [systemFolder, ordinaryFile, wow64Folder] : cases) {
        SCOPED_TRACE(systemFolder);
        Reset(ordinaryFile);
        win->dirs.system = systemFolder;
        win->files.Add(kWow64, attr::Directory);
        win->files.Add(kWow64 + "\\hidden.dll", attr::Hidden);
        RunPass();
        EXPECT_EQ(Wow64Folder, wow64Folder);
        EXPECT_EQ(win->view.visible[label::Bitness], !wow64Folder.empty());
    }
}

// The pass tests above show every other case of the decision.
TEST_F(UpdatePassTest, AReplacementIsRegisteredOnlyOutsideTheLibraryFolderInAnyCase) {
    EXPECT_TRUE(ShouldRegister(CopyKind::Replacement, "C:\\Kiv\\Libraryx\\kivlib.dll"));
    EXPECT_FALSE(ShouldRegister(CopyKind::Replacement, "C:\\Kiv\\LiBrArY\\kivlib.dll"));
}

// The whole trace of a pass over one component, on the in-process route (no SysWOW64)
// and on the regsvr32 route. A registration never starts while the unregistration runs.
TEST_F(UpdatePassTest, UnregistersThenRegistersACopiedComponentShowingEachStep) {
    const std::string dll = kSys32 + "\\Grid.ocx";
    const auto inProcess = [&](const std::string& verb) {
        return Lines{"pointer 11", "thread Dll" + verb + "Server " + dll, "wait thread 10000",
                     "close thread", "pointer 0"};
    };
    // A worker still unregistering at the limit is waited for once more after the box.
    const Lines late =
        Lines{"pointer 11", "thread DllUnregisterServer " + dll, "wait thread 10000", "pointer 0",
              "box kivupdate 0: Process failed in signaled state or time-out."} +
        Lines{"pointer 11", "wait thread 10000", "pointer 0", "close thread"};
    const std::string target = kLibrary + "\\kivcorelib.dll";
    const std::string regsvr32 = "process " + kWow64 + "\\regsvr32.exe \"" + target + "\"";
    const auto run = [&](const std::string& switches) {
        return Lines{regsvr32 + switches + " | show 2", "wait process 10000", "close process"};
    };
    // A regsvr32 that fails to register is reported with its exit code; one that fails to
    // unregister is not: the component may never have been registered.
    const auto failed = [](const std::string& path, const char* code) {
        return Lines{"box kivupdate 0: Registration failed: " + path + " (0x" + code + ")"};
    };
    const std::string lib = "kivcorelib.dll";
    const auto ended = WaitResult::Ended, timedOut = WaitResult::TimedOut;
    using Waits = std::vector<WaitResult>;
    // 64-bit, staged, exit code of regsvr32, how the waits end, unregistration, registration
    const std::tuple<bool, std::string, uint32_t, Waits, Lines, Lines> routes[] = {
        {false, "Grid.ocx", 0, {}, inProcess("Unregister"), inProcess("Register")},
        {false, "Grid.ocx", 0, {timedOut}, late, inProcess("Register")},
        {false, "Grid.ocx", 0, {timedOut, WaitResult::Failed}, late, failed(dll, "800705B4")},
        {true, lib, 0, {}, run(" /u /s"), run(" /s")},
        {true, lib, 3, {}, run(" /u /s"), run(" /s") + failed(target, "00000003")},
        {true, lib, 0, {timedOut}, run(" /u /s"), failed(target, "800705B4")},
        {true, lib, 0, {ended, timedOut}, run(" /u /s"), run(" /s") + failed(target, "800705B4")},
    };
    const auto step = [](const std::string& text) {
        return Lines{"label 21 =" + text, "repaint 21"};
    };
    for (const auto& [windows64, name, exitCode, waits, unregister, reregister] : routes) {
        SCOPED_TRACE(name + " after " + std::to_string(waits.size()) + " waits");
        Reset(windows64);
        win->processes.exitCode = exitCode;
        win->waits = waits;
        Stage(name);
        RunPass();
        const Lines shown =
            Lines{"label 8 =...", "label 21 =...", "refresh window",
                  "doevents",     "pointer 11",    "system dir 255"} +
            (windows64 ? Lines{"repaint 1"} : Lines{}) + Lines{"label 8 = " + name, "repaint 8"} +
            step(kDetermine) + step(kVerify) + step(kCopy) + step(kRemoving) + unregister +
            step(kRegistering) + reregister +
            Lines{"progress 10", "label 8 = ...", "label 21 = ...", "progress 100", "pointer 0"};
        EXPECT_EQ(win->trace, shown);
        EXPECT_EQ(win->view.log,
                  (Lines{"...", "...", "Path = C:\\Kiv\\support", "File Count = 1", " " + name,
                         kDetermine, kVerify, kCopy, kRemoving, kRegistering, " ...", " ..."}));
    }
}

// The pass above runs the commands "" and "u"; the other outcomes are here. The component
// is loaded on the worker; a load that fails leaves the pointer as it was.
TEST_F(UpdatePassTest, RegisterComponentRunsTheEntryPointOnAWorkerAndReportsFailures) {
    const auto box = [](const std::string& text) { return "box kivupdate 0: " + text; };
    const std::string noEntry = box("Process failed in obtaining entry point or creating thread.");
    const std::string failed = box("Registration failed: C:\\a.dll (0x");
    const auto ran = [](const char* entry, Lines after) {
        return Lines{"pointer 11", std::string("thread ") + entry + " C:\\a.dll",
                     "wait thread 10000", "close thread"} +
               after;
    };
    const Lines stuck = {"pointer 11",
                         "thread DllRegisterServer C:\\a.dll",
                         "wait thread 10000",
                         "pointer 0",
                         box("Process failed in signaled state or time-out."),
                         "close thread"};
    const auto ended = WaitResult::Ended;
    // command, library loads, DllRegisterServer exported, its result, worker starts, how the
    // wait ends, trace
    const std::tuple<const char*, bool, bool, int32_t, bool, WaitResult, Lines> calls[] = {
        {"U", true, true, 0, true, ended, ran("DllUnregisterServer", {"pointer 0"})},
        {"u", true, true, int32_t(0x80004005), true, ended,
         ran("DllUnregisterServer", {"pointer 0"})},
        {"", true, true, int32_t(0x80004005), true, ended,
         ran("DllRegisterServer", {"pointer 0", failed + "80004005)"})},
        {"", true, true, int32_t(0xC0000005), true, ended,
         ran("DllRegisterServer", {"pointer 0", failed + "C0000005)"})},
        {" u", true, true, 0, true, ended, {box("Unknown command handle")}},
        {"un", true, true, 0, true, ended, {box("Unknown command handle")}},
        {"", false, true, 0, true, ended,
         ran("DllRegisterServer", {"pointer 7", box("Failure loading control DLL")})},
        {"", true, false, 0, true, ended, ran("DllRegisterServer", {"pointer 0", noEntry})},
        {"", true, true, 0, false, ended, {"pointer 11", "pointer 0", noEntry}},
        {"", true, true, 0, true, WaitResult::TimedOut, stuck},
        {"", true, true, 0, true, WaitResult::Failed, stuck},
    };
    for (const auto& [command, loads, exported, result, threadStarts, waited, trace] : calls) {
        SCOPED_TRACE(trace.back() + " for '" + command + "'");
        Reset();
        if (loads) {
            win->modules.Add("C:\\a.dll",
                             {exported ? "DllRegisterServer" : "DllMain", "DllUnregisterServer"},
                             result);
        }
        win->threads.creatable = threadStarts;
        win->waits = {waited};
        win->runtime.pointer = 7;
        RegisterComponent("C:\\a.dll", command);
        EXPECT_EQ(win->trace, trace);
    }
}

std::string General(const std::string& file, const std::string& action, int number,
                    const std::string& description) {
    return "The following error occured during installation : \r\rFile :  " + file +
           "\r\rAction :  " + action + "\r\rError :  " + std::to_string(number) + "\r\r" +
           description;
}

const std::string kLocked =
    "File :   a.dll\rError :  70 - Permission denied\r\r"
    "The update cannot be completed, because the application is locked by another user ! "
    "Make sure to close all Kiv software applications and try again.\r\r"
    "Close all Kiv software applications and try again....";

// A failure at any step ends the pass through one report naming the file and the step at
// hand, and leaves the indicator where it stood.
TEST_F(UpdatePassTest, AFailureAtAnyStepEndsThePassWithOneReport) {
    // operation, failing call, error, 64-bit, step at hand, indicator, report
    const std::tuple<const char*, int, int32_t, bool, std::string, int32_t, std::string> cases[] = {
        {"list", 1, 76, false, "...", 0, General("...", "...", 76, "Path not found")},
        {"exists", 1, 5, true, kVerify, 0,
         General(" a.dll", kVerify, 5, "Invalid procedure call or argument")},
        {"time", 1, 53, false, kCopy, 0, General(" a.dll", kCopy, 53, "File not found")},
        {"copy", 2, 61, false, kDetermine, 10, General(" b.dep", kDetermine, 61, "Disk full")},
        {"progress", 2, 6, false, kDetermine, 10, General(" b.dep", kDetermine, 6, "Overflow")},
        {"regsvr32", 1, 53, true, kRemoving, 0, General(" a.dll", kRemoving, 53, "File not found")},
        {"copy", 1, 70, false, kCopy, 0, kLocked},
    };
    for (const auto& [operation, onCall, number, windows64, step, progress, text] : cases) {
        SCOPED_TRACE(std::string(operation) + " " + std::to_string(number));
        Reset(windows64);
        win->files.Add(kSys32 + "\\a.dll", attr::Archive, kOld, "old");
        for (const char* name : {"a.dll", "b.dep", "c.dep"}) {
            Stage(name);
        }
        win->Inject(operation, number, onCall);
        RunPass();
        EXPECT_EQ(Tail(win->trace, 4), (Lines{"pointer 0", "box Updating Software... 16: " + text,
                                              "label 8 = ...", "label 21 = ..."}));
        EXPECT_EQ(LastErrorText, text);
        EXPECT_EQ(Tail(win->view.log, 3), (Lines{step, " ...", " ..."}));
        EXPECT_EQ(win->view.value, progress);
        EXPECT_EQ(Content(kSys32 + "\\c.dep"), "<missing>");
    }
}

// Without it every system file and component would land at the root of the drive.
TEST_F(UpdatePassTest, ASystemFolderThatCannotBeReadEndsThePassBeforeAnyFile) {
    for (const bool tooLong : {true, false}) {
        Reset();
        win->dirs.system = tooLong ? std::string(255, 'x') : kSys32;
        win->dirs.failing = !tooLong;
        Stage("a.dep");
        RunPass();
        EXPECT_EQ(Traced("box"), (Lines{"box Updating Software... 16: " +
                                        General("...", "...", 76, "Path not found")}));
        EXPECT_TRUE(win->files.copies.empty());
    }
}

}  // namespace
}  // namespace kiv::testing
