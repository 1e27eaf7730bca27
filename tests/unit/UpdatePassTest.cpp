#include "engine/RegisterComponent.h"
#include "engine/Registration.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

using UpdatePassTest = ProgramFixture;

// The last step shown tells whether a component was registered again: each one copied is,
// except a replacement in the Library folder.
TEST_F(UpdatePassTest, CopiesEachKindWhereItBelongsWhenMissingOrStrictlyOlder) {
    // clang-format off
    struct Row { std::string staged; bool windows64; std::string folder; FileTime installed; bool copied; std::string lastStep; };
    const Row rows[] = {  // folder: where it belongs, empty when it stays; installed: 0 when not
        {"Grid.Ocx", false, kSys32, 0, true, kRegistering},     {"KEYS.dep", false, kSys32, 0, true, kDetermine},
        {"a.LIB", false, kSys32, 0, true, kDetermine},          {"b.oca", false, kSys32, 0, true, kDetermine},
        {"c.Exp", false, kSys32, 0, true, kDetermine},          {"notes.txt", false, "", 0, false, kDetermine},
        {"dll", false, "", 0, false, kDetermine},               {"KIVDATALIB.DLL", false, kLibrary, 0, true, kRegistering},
        {"kivlib.dll", false, kLibrary, 0, true, kRegistering}, {"kivlib.ocx", false, kSys32, 0, true, kRegistering},
        {"kivdata.dll", false, kSys32, 0, true, kRegistering},  {"abclib.dll", false, kSys32, 0, true, kRegistering},
        {"Grid.ocx", true, kWow64, 0, true, kRegistering},      {"KEYS.dep", true, kSys32, 0, true, kDetermine},
        {"kivlib.dll", true, kLibrary, 0, true, kRegistering},  {"Grid.ocx", false, kSys32, kNew - 1, true, kRegistering},
        {"Grid.ocx", false, kSys32, kNew, false, kCopy},        {"Grid.ocx", true, kSys32, kNew - 1, true, kRegistering},
        {"kivlib.dll", false, kLibrary, kNew - 1, true, kCopy},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.staged + (row.windows64 ? " 64-bit " : " ") +
                     std::to_string(row.installed));
        Reset(row.windows64);
        if (row.installed != 0) {
            win->files.Add(row.folder + "\\" + row.staged, attr::Archive, row.installed);
        }
        Stage(row.staged);
        RunPass();
        EXPECT_EQ(state.Wow64Folder, row.windows64 ? kWow64 : "");
        const Lines copy = {"copy to " + row.folder + "\\" + row.staged};
        EXPECT_EQ(Traced({"copy"}), row.copied ? copy : Lines{});
        EXPECT_EQ(Tail(win->view.log, 3), (Lines{row.lastStep, " ...", " ..."}));
    }
    // The pass tests above show every other case of the decision.
    EXPECT_TRUE(ShouldRegister(CopyKind::Replacement, "C:\\Kiv\\Libraryx\\kivlib.dll"));
    EXPECT_FALSE(ShouldRegister(CopyKind::Replacement, "C:\\Kiv\\LiBrArY\\kivlib.dll"));
}

const std::string kTimeOut = "box kivupdate 0: Process failed in signaled state or time-out.";

std::string RegistrationFailed(const std::string& path, const char* code) {
    return "box kivupdate 0: Registration failed: " + path + " (0x" + code + ")";
}

// A pass over one component, on the in-process route (no SysWOW64) and through regsvr32.
// What matters is the order: each step is shown before its work, and a
// registration never starts while the unregistration runs.
TEST_F(UpdatePassTest, UnregistersThenRegistersACopiedComponentShowingEachStep) {
    const std::string dll = kSys32 + "\\Grid.ocx", lib = kLibrary + "\\kivcorelib.dll";
    // clang-format off
    const auto inProcess = [&](const std::string& verb) {
        return Lines{"pointer 11", "registration Dll" + verb + "Server " + dll, "wait 10000", "close registration", "pointer 0"};
    };
    // An unregistration still running at the limit is waited for once more after the box.
    const Lines late = {"pointer 11", "registration DllUnregisterServer " + dll, "wait 10000", "pointer 0", kTimeOut,
                        "pointer 11", "wait 10000", "pointer 0", "close registration"};
    const auto regsvr32 = [&](const std::string& switches, const Lines& after = {}) {
        return Lines{"process " + kWow64 + "\\regsvr32.exe \"" + lib + "\"" + switches + " | show 2", "wait 10000",
                     "close process"} + after;
    };
    // clang-format on
    const auto ended = WaitResult::Ended, timedOut = WaitResult::TimedOut;
    // A regsvr32 that fails to register is reported with its exit code; one that fails to
    // unregister is not: the component may never have been registered.
    // clang-format off
    struct Route { std::string staged; uint32_t regsvr32ExitCode; std::vector<WaitResult> waits; Lines unregistration, registration; };
    const Route routes[] = {
        {"Grid.ocx", 0, {}, inProcess("Unregister"), inProcess("Register")},
        {"Grid.ocx", 0, {timedOut}, late, inProcess("Register")},
        {"Grid.ocx", 0, {timedOut, WaitResult::Failed}, late, {RegistrationFailed(dll, "800705B4")}},
        {"kivcorelib.dll", 0, {}, regsvr32(" /u /s"), regsvr32(" /s")},
        {"kivcorelib.dll", 3, {}, regsvr32(" /u /s"), regsvr32(" /s", {RegistrationFailed(lib, "00000003")})},
        {"kivcorelib.dll", 0, {timedOut}, regsvr32(" /u /s"), {RegistrationFailed(lib, "800705B4")}},
        {"kivcorelib.dll", 0, {ended, timedOut}, regsvr32(" /u /s"), regsvr32(" /s", {RegistrationFailed(lib, "800705B4")})},
    };
    // clang-format on
    for (const Route& route : routes) {
        const bool windows64 = route.staged == "kivcorelib.dll";
        SCOPED_TRACE(route.staged + " after " + std::to_string(route.waits.size()) + " waits");
        Reset(windows64);
        win->processes.exitCode = route.regsvr32ExitCode;
        win->waits = route.waits;
        Stage(route.staged);
        RunPass();
        const auto step = [](const std::string& text) { return "label 21 =" + text; };
        const Lines expected =
            Lines{"label 8 =...", "label 21 =...", "pointer 11"} +
            (windows64 ? Lines{"label 1 shown"} : Lines{}) +
            Lines{"label 8 = " + route.staged, step(kDetermine), step(kVerify), step(kCopy),
                  step(kRemoving)} +
            route.unregistration + Lines{step(kRegistering)} + route.registration +
            Lines{"progress 10", "label 8 = ...", "label 21 = ...", "progress 100", "pointer 0"};
        EXPECT_EQ(Traced({"label", "pointer", "registration", "wait", "close", "process", "box",
                          "progress"}),
                  expected);
        EXPECT_EQ(win->view.log, (Lines{"...", "...", "Path = C:\\Kiv\\support", "File Count = 1",
                                        " " + route.staged, kDetermine, kVerify, kCopy, kRemoving,
                                        kRegistering, " ...", " ..."}));
    }
}

// The pass above runs the commands "" and "u"; the other outcomes are here. The hourglass
// is gone before any box; a load that fails leaves the pointer as it was.
TEST_F(UpdatePassTest, RegisterComponentRunsTheEntryPointAwayAndReportsFailures) {
    using K = Registered::Kind;
    const auto done = WaitResult::Ended;
    // clang-format off
    const Registered ok = {K::Returned, 0}, failed = {K::Returned, 0x80004005}, ended = {K::Ended, 0};
    const std::string noEntry = "box kivupdate 0: Process failed in obtaining entry point or creating thread.";
    const auto ran = [](const char* entry, const Lines& after) {
        return Lines{"pointer 11", std::string("registration ") + entry + " C:\\a.dll", "close registration"} + after;
    };
    const Lines stuck = {"pointer 11", "registration DllRegisterServer C:\\a.dll", "pointer 0", kTimeOut, "close registration"};
    struct Call { const char* command; Registered outcome; bool starts; WaitResult waited; Lines seen; };
    const Call calls[] = {  // seen: the pointer, the registration and the boxes
        {"U", ok, true, done, ran("DllUnregisterServer", {"pointer 0"})},
        {"u", failed, true, done, ran("DllUnregisterServer", {"pointer 0"})},
        {"u", ended, true, done, ran("DllUnregisterServer", {"pointer 0"})},
        {"", failed, true, done, ran("DllRegisterServer", {"pointer 0", RegistrationFailed("C:\\a.dll", "80004005")})},
        {"", ended, true, done, ran("DllRegisterServer", {"pointer 0", RegistrationFailed("C:\\a.dll", "00000000")})},
        {" u", ok, true, done, {"box kivupdate 0: Unknown command handle"}},
        {"", {K::NotLoaded, 0}, true, done, ran("DllRegisterServer", {"pointer 7", "box kivupdate 0: Failure loading control DLL"})},
        {"", {K::NotRun, 0}, true, done, ran("DllRegisterServer", {"pointer 0", noEntry})},
        {"", ok, false, done, {"pointer 11", "pointer 0", noEntry}},
        {"", ok, true, WaitResult::TimedOut, stuck},
        {"", ok, true, WaitResult::Failed, stuck},
    };
    // clang-format on
    for (const Call& call : calls) {
        SCOPED_TRACE(call.seen.back() + " for '" + call.command + "'");
        Reset();
        win->processes.outcome = call.outcome;
        win->processes.startable = call.starts;
        win->waits = {call.waited};
        win->runtime.pointer = 7;
        RegisterComponent("C:\\a.dll", call.command);
        EXPECT_EQ(Traced({"pointer", "registration", "box", "close"}), call.seen);
    }
}

// clang-format off
std::string General(const std::string& file, const std::string& action, int number, const std::string& description) {
    return "The following error occured during installation : \r\rFile :  " + file + "\r\rAction :  " + action +
           "\r\rError :  " + std::to_string(number) + "\r\r" + description;
}
// clang-format on

const std::string kLocked =
    "File :   a.dll\rError :  70 - Permission denied\r\r"
    "The update cannot be completed, because the application is locked by another user ! "
    "Make sure to close all Kiv software applications and try again.\r\r"
    "Close all Kiv software applications and try again....";

// A failure at any step ends the pass through one report naming the file and the step at
// hand, after the hourglass, and leaves the indicator where it stood. A system folder that
// cannot be read ends it before any file: every file would land at the root of the drive.
TEST_F(UpdatePassTest, AFailureAtAnyStepEndsThePassWithOneReport) {
    const std::string noFolder = General("...", "...", 76, "Path not found");
    // clang-format off
    struct Row { const char* operation; int failingCall; int32_t error; bool windows64; std::string stepShown; int32_t indicator; std::string report; std::string systemFolder = kSys32; };
    const Row rows[] = {
        {"list", 1, 76, false, "...", 0, noFolder},
        {"exists", 1, 5, true, kVerify, 0, General(" a.dll", kVerify, 5, "Invalid procedure call or argument")},
        {"time", 1, 53, false, kCopy, 0, General(" a.dll", kCopy, 53, "File not found")},
        {"copy", 2, 61, false, kDetermine, 10, General(" b.dep", kDetermine, 61, "Disk full")},
        {"progress", 2, 6, false, kDetermine, 10, General(" b.dep", kDetermine, 6, "Overflow")},
        {"regsvr32", 1, 53, true, kRemoving, 0, General(" a.dll", kRemoving, 53, "File not found")},
        {"copy", 1, 70, false, kCopy, 0, kLocked},
        {"", 0, 0, false, "...", 0, noFolder, std::string(255, 'x')},  // the system folder does not fit
        {"", 0, 0, false, "...", 0, noFolder, ""},                     // nor can it be read
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.operation) + " " + std::to_string(row.error) +
                     row.systemFolder);
        Reset(row.windows64);
        win->files.Add(kSys32 + "\\a.dll", attr::Archive, kNew - 1);
        for (const char* name : {"a.dll", "b.dep", "c.dep"}) {
            Stage(name);
        }
        win->Inject(row.operation, row.error, row.failingCall);
        win->dirs.system = row.systemFolder;
        RunPass();
        EXPECT_EQ(Tail(Traced({"pointer", "box", "label"}), 4),
                  (Lines{"pointer 0", "box Updating Software... 16: " + row.report, "label 8 = ...",
                         "label 21 = ..."}));
        EXPECT_EQ(Traced({"box"}).size(), 1u);
        EXPECT_EQ(state.LastErrorText, row.report);
        EXPECT_EQ(Tail(win->view.log, 3), (Lines{row.stepShown, " ...", " ..."}));
        EXPECT_EQ(win->view.value, row.indicator);
        EXPECT_EQ(Traced({"copy to " + kSys32 + "\\c.dep"}), Lines{});
    }
}

}  // namespace
}  // namespace kiv::testing
