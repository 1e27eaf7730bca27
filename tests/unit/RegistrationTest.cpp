#include <algorithm>

#include "engine/RegisterComponent.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

const std::string kDll = "C:\\WINDOWS\\system32\\a.dll";
const std::string kNoEntry = "Process failed in obtaining entry point or creating thread.";
const std::string kTimeOut = "Process failed in signaled state or time-out.";

class RegistrationTest : public ProgramFixture {
protected:
    std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const auto& box : windows().runtime.boxes) {
            EXPECT_EQ(box.title, "kivupdate");
            EXPECT_EQ(box.style, 0u);
            texts.push_back(box.text);
        }
        return texts;
    }
    std::vector<std::string> Threads() {
        std::vector<std::string> runs;
        for (const auto& line : windows().trace) {
            if (line.rfind("thread ", 0) == 0) {
                runs.push_back(line.substr(7));
            }
        }
        return runs;
    }
};

struct Call {
    const char* command;
    const char* entryRun;  // nullptr: none
    const char* box;       // nullptr: none
    bool pointerTouched;
};

TEST_F(RegistrationTest, CommandTextChoosesTheEntryPointExactly) {
    const Call calls[] = {
        {"", "DllRegisterServer", nullptr, true},
        {"u", "DllUnregisterServer", nullptr, true},
        {"U", "DllUnregisterServer", nullptr, true},
        {"x", nullptr, "Unknown command handle", false},
        {" u", nullptr, "Unknown command handle", false},
        {"un", nullptr, "Unknown command handle", false},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(std::string("command '") + call.command + "'");
        Reset();
        windows().files.AddFile(kDll, kOld, "component");
        windows().runtime.pointer = pointer::Hourglass;
        RegisterComponent(kDll, call.command);
        const auto runs = Threads();
        if (call.entryRun != nullptr) {
            EXPECT_EQ(runs, (std::vector<std::string>{fake::Fold(kDll) + "!" + call.entryRun}));
            EXPECT_EQ(windows().threads.waits, (std::vector<uint32_t>{10000}));
        } else {
            EXPECT_TRUE(runs.empty());
        }
        EXPECT_EQ(Boxes(),
                  call.box ? std::vector<std::string>{call.box} : std::vector<std::string>{});
        EXPECT_EQ(windows().runtime.pointer, call.pointerTouched ? 0 : 11);
        EXPECT_FALSE(windows().modules.IsLoaded(kDll));
        EXPECT_EQ(windows().threads.open, 0);
    }
}

TEST_F(RegistrationTest, ALibraryThatDoesNotLoadLeavesThePointerAlone) {
    windows().files.AddFile("C:\\x\\text.dll", kOld, "not a library");
    for (const std::string& path :
         {std::string("C:\\nowhere\\a.dll"), std::string("C:\\x\\text.dll")}) {
        windows().runtime.pointer = pointer::Hourglass;
        RegisterComponent(path, "");
        EXPECT_EQ(windows().runtime.pointer, 11);
    }
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Failure loading control DLL",
                                                 "Failure loading control DLL"}));
}

struct Failure {
    const char* name;
    bool exported;
    bool threadCreated;
    WaitResult waited;
    const char* box;
    bool libraryStaysLoaded;
};

TEST_F(RegistrationTest, FailuresAfterTheLoadResetThePointerAndSaySo) {
    const Failure failures[] = {
        {"no export", false, true, WaitResult::Ended, kNoEntry.c_str(), false},
        {"no thread", true, false, WaitResult::Ended, kNoEntry.c_str(), false},
        {"time-out", true, true, WaitResult::TimedOut, kTimeOut.c_str(), true},
        {"failed wait", true, true, WaitResult::Failed, kTimeOut.c_str(), true},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        Reset();
        windows().modules.Add(kDll, {f.exported ? std::set<std::string>{"DllRegisterServer"}
                                                : std::set<std::string>{"DllMain"}});
        windows().threads.creatable = f.threadCreated;
        windows().threads.waitResult = f.waited;
        windows().runtime.pointer = pointer::Hourglass;
        RegisterComponent(kDll, "");
        EXPECT_EQ(Boxes(), (std::vector<std::string>{f.box}));
        EXPECT_EQ(windows().runtime.pointer, 0);
        const auto& trace = windows().trace;
        const auto box = std::find_if(trace.begin(), trace.end(),
                                      [](const std::string& l) { return l.rfind("box", 0) == 0; });
        EXPECT_EQ(*(box - 1), "pointer 0");
        // A worker that may still run inside the library keeps it loaded.
        EXPECT_EQ(windows().modules.IsLoaded(kDll), f.libraryStaysLoaded);
        EXPECT_EQ(windows().threads.open, 0);
    }
}

TEST_F(RegistrationTest, InProcessRouteUnregistersThenRegistersEachCopiedComponent) {
    Stage("Grid.ocx");
    RunPass();
    const auto& trace = windows().trace;
    const std::string target = fake::Fold("C:\\WINDOWS\\system32\\Grid.ocx");
    std::vector<std::string> steps;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(steps), [](const std::string& l) {
        return l.rfind("thread", 0) == 0 || l.rfind("label 21", 0) == 0;
    });
    EXPECT_EQ(
        steps,
        (std::vector<std::string>{
            "label 21 =...", "label 21 = Determine File $\\Path...",
            "label 21 =Verify file exist...", "label 21 =Copy file to destination folder",
            "label 21 = Removing DLL/OCX from register...",
            "thread " + target + "!DllUnregisterServer", "label 21 = Registering new DLL/OCX...",
            "thread " + target + "!DllRegisterServer", "label 21 = ..."}));
    EXPECT_TRUE(windows().runtime.boxes.empty());
}

TEST_F(RegistrationTest, OutOfProcessRouteQuotesTheTargetAndWaitsForTheUnregistration) {
    Make64Bit();
    InstallFolder = "C:\\Program Files\\Kiv Aldervik";
    windows().files.AddFolder(InstallFolder);
    windows().files.AddFolder(InstallFolder + "\\support");
    windows().files.AddFolder(InstallFolder + "\\Library");
    windows().files.AddFile(InstallFolder + "\\support\\kivcorelib.dll", kNew, "new");
    RunPass();
    const std::string regsvr32 = "process C:\\WINDOWS\\SysWOW64\\regsvr32.exe ";
    const std::string target = "\"C:\\Program Files\\Kiv Aldervik\\Library\\kivcorelib.dll\"";
    const auto& trace = windows().trace;
    const auto unregister = std::find(trace.begin(), trace.end(), regsvr32 + target + " /u /s");
    ASSERT_NE(unregister, trace.end());
    EXPECT_EQ(*(unregister + 1), "wait process 10000");
    EXPECT_EQ(*(unregister + 2), "label 21 = Registering new DLL/OCX...");
    EXPECT_EQ(*(unregister + 4), regsvr32 + target + " /s");
    EXPECT_EQ(windows().processes.showStates, (std::vector<int>{2, 2}));
    EXPECT_EQ(windows().processes.open, 0);
    EXPECT_TRUE(Threads().empty());
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const std::string& l) { return l.rfind("pointer", 0) == 0; }),
              2);  // the pass's own hourglass and default only
}

TEST_F(RegistrationTest, ARegsvr32ThatCannotStartEndsThePassWithItsStep) {
    Make64Bit();
    windows().processes.startError = 53;
    Stage("Grid.ocx");
    RunPass();
    ASSERT_EQ(windows().runtime.boxes.size(), 1u);
    EXPECT_NE(windows().runtime.boxes[0].text.find(
                  "Action :   Removing DLL/OCX from register...\r\rError :  53\r\rFile not found"),
              std::string::npos);
}

}  // namespace
}  // namespace kiv::testing
