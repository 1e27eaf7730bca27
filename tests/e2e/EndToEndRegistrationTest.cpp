#include <algorithm>

#include "EndToEnd.h"

namespace kiv::e2e {
namespace {

const FILETIME kStaged = UtcTime(2022, 11, 3, 14, 5, 40);
constexpr LONGLONG kDay = 86400;

// The boxes of the in-process registration carry the application title and no icon.
constexpr char kAppTitle[] = "kivupdate";
constexpr char kNoEntryPoint[] = "Process failed in obtaining entry point or creating thread.";
constexpr char kNotLoaded[] = "Failure loading control DLL";
constexpr char kTimedOut[] = "Process failed in signaled state or time-out.";
constexpr char kUnregister[] = "unregister";
constexpr char kRegister[] = "register";
// The registering regsvr32 is not waited for by the program.
constexpr DWORD kRegsvr32Ms = 15000;

// One call of a registration entry point, as a test component recorded it.
struct Call {
    std::string name;  // kRegister or kUnregister
    DWORD thread = 0;
    DWORD process = 0;
    std::wstring path;     // of the module, lower case
    std::wstring program;  // of the process, lower case
};

// Names the record file of the test components for the programs the test starts (they
// inherit the variable: kivupdate, and regsvr32 through it).
class ComponentRecord {
public:
    explicit ComponentRecord(const Installation& install)
        : path_(install.Folder() + L"\\components.record") {
        SetEnvironmentVariableW(kVariable, path_.c_str());
    }
    ~ComponentRecord() { SetEnvironmentVariableW(kVariable, nullptr); }
    ComponentRecord(const ComponentRecord&) = delete;
    ComponentRecord& operator=(const ComponentRecord&) = delete;

    // The calls made on the module at any of these paths, in order.
    std::vector<Call> CallsOn(std::vector<std::wstring> paths) const {
        std::transform(paths.begin(), paths.end(), paths.begin(), Lower);
        std::vector<Call> calls;
        for (const auto& f : Records(path_, "   \t")) {
            const Call call{f[0], static_cast<DWORD>(std::stoul(f[1])),
                            static_cast<DWORD>(std::stoul(f[2])), Lower(Wide(f[3])),
                            Lower(Wide(f[4]))};
            if (std::find(paths.begin(), paths.end(), call.path) != paths.end()) {
                calls.push_back(call);
            }
        }
        return calls;
    }

private:
    static constexpr wchar_t kVariable[] = L"KIV_COMPONENT_RECORD";
    std::wstring path_;
};

std::vector<std::string> Names(const std::vector<Call>& calls) {
    std::vector<std::string> names;
    for (const Call& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

// Checks that each call ran inside kivupdate on a thread other than its window's, and
// gives their names.
std::vector<std::string> InProcess(const std::vector<Call>& calls, const Driver& driver) {
    const DWORD uiThread = GetWindowThreadProcessId(driver.Window(), nullptr);
    for (const Call& call : calls) {
        EXPECT_EQ(call.process, driver.ProcessId()) << call.name;
        EXPECT_NE(call.thread, uiThread) << call.name << " ran on the window's thread";
    }
    return Names(calls);
}

const std::vector<std::string> kBothCalls = {kUnregister, kRegister};

// The in-process route: this prefix's SysWOW64 is missing or holds no ordinary file.
class EndToEndRegistrationInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        if (!folders_.wow64.empty()) {
            GTEST_SKIP() << "SysWOW64 holds files: components are registered through regsvr32";
        }
    }

    // Stages a component that is new to the system folder; gives its destination.
    std::wstring StageNew(const std::wstring& name, const std::string& bytes) {
        install_.Stage(name, bytes, kStaged);
        files_.Expect(folders_.system + L"\\" + name);
        return folders_.system + L"\\" + name;
    }

    const SystemFolders folders_ = CurrentSystemFolders();
    Installation install_;
    ComponentRecord record_{install_};
    SystemFiles files_;
};

struct OneComponent {
    const char* name;
    const wchar_t* build;  // the test component staged; null for a text file
    const char* box;       // shown at both steps; null for none
};

const OneComponent kOneComponent[] = {
    {"Registers", L"kivtestcom.dll", nullptr},
    {"EntryPointsReportFailure", L"kivtestcom_fails.dll", nullptr},
    {"NoEntryPoints", L"kivtestcom_noentry.dll", kNoEntryPoint},
    {"NotADll", nullptr, kNotLoaded},
};

class EndToEndRegistrationOneComponent : public EndToEndRegistrationInProcess,
                                         public ::testing::WithParamInterface<OneComponent> {};

TEST_P(EndToEndRegistrationOneComponent, UnregisteredThenRegisteredOnAWorkerThread) {
    const OneComponent& row = GetParam();
    const std::string name = "e2e_regone.dll";
    const std::string bytes = row.build ? BuiltBytes(row.build) : Pattern("not a library", 600);
    const std::wstring target = StageNew(Wide(name), bytes);

    Driver driver(KivUpdateCommandLine(install_.Folder()));
    for (const char* step : {text::kRemoving, text::kRegistering}) {
        if (row.box == nullptr) {
            break;
        }
        ASSERT_TRUE(PassEnded(driver, PassEnd::BoxShown)) << "at " << step;
        const auto box = driver.FindBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->title, kAppTitle);
        EXPECT_EQ(box->text, row.box);
        EXPECT_FALSE(box->icon);
        EXPECT_EQ(driver.Caption(kLabel21), step) << "the box belongs to this step";
        driver.Answer(*box);
    }
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));

    EXPECT_TRUE(LogIs(driver, PassLog(install_.Support(), {{name, Kind::Component, true}})));
    EXPECT_TRUE(ReadBytes(target) == bytes) << "copied to " << Utf8(target);
    const auto calls = InProcess(record_.CallsOn({target}), driver);
    EXPECT_EQ(calls, row.box ? std::vector<std::string>{} : kBothCalls);
    EXPECT_TRUE(EndedByEnd(driver));
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEndRegistrationOneComponent,
                         ::testing::ValuesIn(kOneComponent), ByName());

TEST_F(EndToEndRegistrationInProcess, EntryPointOutlastingTheWaitIsGivenUpAndThePassGoesOn) {
    const std::string slow = "e2e_regslow.dll";
    const std::string next = "e2e_regslowz.dll";
    const std::string bytes = BuiltBytes();
    const std::wstring slowTarget = StageNew(Wide(slow), BuiltBytes(L"kivtestcom_slow.dll"));
    const std::wstring nextTarget = StageNew(Wide(next), bytes);

    Driver driver(KivUpdateCommandLine(install_.Folder()));
    ASSERT_NE(driver.WaitForWindow(kWindowMs), nullptr) << driver.Status();
    ASSERT_TRUE(Within(kPassMs, [&] {
        return driver.Caption(kLabel8) == " " + slow &&
               driver.Caption(kLabel21) == text::kRegistering;
    })) << Joined(driver.Lines().value_or(std::vector<std::string>{}));
    const ULONGLONG registering = GetTickCount64();
    const auto box = driver.WaitForBox(15000);
    const ULONGLONG elapsed = GetTickCount64() - registering;
    ASSERT_TRUE(box.has_value()) << driver.Status();
    EXPECT_EQ(box->title, kAppTitle);
    EXPECT_EQ(box->text, kTimedOut);
    EXPECT_FALSE(box->icon);
    EXPECT_GE(elapsed, 9000u);
    EXPECT_LE(elapsed, 13000u);
    driver.Answer(*box);
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));

    EXPECT_TRUE(LogIs(driver, PassLog(install_.Support(), {{slow, Kind::Component, true},
                                                           {next, Kind::Component, true}})));
    EXPECT_TRUE(ReadBytes(nextTarget) == bytes) << "the next file is copied";
    EXPECT_EQ(InProcess(record_.CallsOn({nextTarget}), driver), kBothCalls);
    // The worker given up on is left to finish in its library, which stays loaded.
    EXPECT_TRUE(Within(8000, [&] { return record_.CallsOn({slowTarget}).size() == 2; }));
    EXPECT_EQ(InProcess(record_.CallsOn({slowTarget}), driver), kBothCalls);
    EXPECT_TRUE(EndedByEnd(driver));
}

TEST_F(EndToEndRegistrationInProcess, LibraryComponentIsRegisteredWhenNewButNotWhenReplaced) {
    const std::wstring added = L"kivregaddedlib.dll";
    const std::wstring replaced = L"kivregreplacedlib.dll";
    const std::string bytes = BuiltBytes();
    install_.MakeLibrary();
    install_.Stage(added, bytes, kStaged);
    install_.Stage(replaced, bytes, kStaged);
    WriteNewFile(install_.Library(replaced), bytes, Shifted(kStaged, -kDay));

    Driver driver(KivUpdateCommandLine(install_.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    EXPECT_TRUE(
        LogIs(driver, PassLog(install_.Support(), {{Utf8(added), Kind::Component, true},
                                                   {Utf8(replaced), Kind::Component, false}})));
    EXPECT_TRUE(SameTime(ModifiedTime(install_.Library(replaced)).value_or(FILETIME{}), kStaged))
        << "the older copy is replaced";
    EXPECT_TRUE(ReadBytes(install_.Library(added)) == bytes);
    EXPECT_EQ(InProcess(record_.CallsOn({install_.Library(added)}), driver), kBothCalls);
    EXPECT_EQ(Names(record_.CallsOn({install_.Library(replaced)})), std::vector<std::string>{});
    EXPECT_TRUE(EndedByEnd(driver));
}

// The out-of-process route, where SysWOW64 holds files. A 64-bit prefix without 32-bit
// wine has an empty SysWOW64; there the prefix's own (64-bit) regsvr32, which loads this
// build's components, stands in for the 32-bit one.
TEST(EndToEndRegistrationRegsvr32, ComponentsAreUnregisteredThenRegisteredByRegsvr32) {
    const SystemFolders folders = CurrentSystemFolders();
    if (folders.wow64Path.empty() || !Exists(folders.wow64Path)) {
        GTEST_SKIP() << "no SysWOW64: a 32-bit prefix registers in process";
    }
    Installation install;
    ComponentRecord record(install);
    SystemFiles files;
    if (folders.wow64.empty()) {
        const auto regsvr32 = ReadBytes(folders.system + L"\\regsvr32.exe");
        ASSERT_TRUE(regsvr32.has_value());
        files.Place(folders.wow64Path + L"\\regsvr32.exe", *regsvr32, kStaged);
    }
    // New to both system folders, so it goes to SysWOW64; the library one has a blank in
    // its path.
    const std::wstring wow = L"e2e_regwow.dll";
    const std::wstring library = L"kivregwowlib.dll";
    const std::string bytes = BuiltBytes();
    install.MakeLibrary();
    install.Stage(wow, bytes, kStaged);
    install.Stage(library, bytes, kStaged);
    files.Expect(folders.system + L"\\" + wow);
    files.Expect(folders.wow64Path + L"\\" + wow);

    Driver driver(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished)) << "no box";
    EXPECT_TRUE(driver.Visible(kLabel1)) << "64-bit";
    EXPECT_TRUE(
        LogIs(driver, PassLog(install.Support(), {{Utf8(wow), Kind::Component, true},
                                                  {Utf8(library), Kind::Component, true}})));
    EXPECT_TRUE(EndedByEnd(driver));
    ASSERT_TRUE(driver.WaitForDescendants(kRegsvr32Ms)) << "regsvr32 still runs";

    const std::wstring wowTarget = folders.wow64Path + L"\\" + wow;
    EXPECT_TRUE(ReadBytes(wowTarget) == bytes) << Utf8(wowTarget);
    // Under WOW64 redirection a 32-bit program may see SysWOW64 named system32.
    auto inWow64 = [&](const std::wstring& name) {
        std::vector<std::wstring> paths = {folders.wow64Path + L"\\" + name};
        if (!folders.separate) {
            paths.push_back(folders.system + L"\\" + name);
        }
        return paths;
    };
    std::vector<std::wstring> regsvr32 = inWow64(L"regsvr32.exe");
    std::transform(regsvr32.begin(), regsvr32.end(), regsvr32.begin(), Lower);
    for (const auto& paths : {inWow64(wow), std::vector<std::wstring>{install.Library(library)}}) {
        SCOPED_TRACE(Utf8(paths[0]));
        const auto calls = record.CallsOn(paths);
        EXPECT_EQ(Names(calls), kBothCalls);
        for (const Call& call : calls) {
            EXPECT_NE(std::find(regsvr32.begin(), regsvr32.end(), call.program), regsvr32.end())
                << call.name << " ran in " << Utf8(call.program);
        }
    }
}

}  // namespace
}  // namespace kiv::e2e
