#include <algorithm>

#include "engine/Registration.h"
#include "engine/UpdatePass.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

using Lines = std::vector<std::string>;

const std::string kDetermine = " Determine File $\\Path...";
const std::string kVerify = "Verify file exist...";
const std::string kCopy = "Copy file to destination folder";
const std::string kRemoving = " Removing DLL/OCX from register...";
const std::string kRegistering = " Registering new DLL/OCX...";

class UpdatePassTest : public ProgramFixture {};

TEST_F(UpdatePassTest, EmptyStagingFolderLogsTheListingAndFillsTheIndicator) {
    RunPass();
    EXPECT_EQ(windows().view.log,
              (Lines{"...", "...", "Path = C:\\Kiv\\support", "File Count = 0", " ...", " ..."}));
    EXPECT_EQ(windows().view.value, 100);
    EXPECT_EQ(windows().runtime.pointer, 0);
    EXPECT_TRUE(windows().runtime.boxes.empty());
    EXPECT_FALSE(windows().view.visible[label::Bitness]);
    EXPECT_EQ(windows().trace.front(), "label 8 =...");  // loaded before anything else
    EXPECT_EQ(windows().files.fileSystemsCreated, 1);
}

struct Route {
    const char* name;
    bool windows64;
    const char* destination;  // nullptr: skipped
    bool registered;
};

TEST_F(UpdatePassTest, RoutesEveryKindByItsExtension) {
    const Route routes[] = {
        {"Grid.Ocx", false, "C:\\WINDOWS\\system32\\Grid.Ocx", true},
        {"KEYS.dep", false, "C:\\WINDOWS\\system32\\KEYS.dep", false},
        {"a.LIB", false, "C:\\WINDOWS\\system32\\a.LIB", false},
        {"b.oca", false, "C:\\WINDOWS\\system32\\b.oca", false},
        {"c.Exp", false, "C:\\WINDOWS\\system32\\c.Exp", false},
        {"notes.txt", false, nullptr, false},
        {"setup.exe", false, nullptr, false},
        {"arial.ttf", false, nullptr, false},
        {"KIVDATALIB.DLL", false, "C:\\Kiv\\Library\\KIVDATALIB.DLL", true},
        {"kivlib.dll", false, "C:\\Kiv\\Library\\kivlib.dll", true},
        {"kivlib.ocx", false, "C:\\WINDOWS\\system32\\kivlib.ocx", true},
        {"kivdata.dll", false, "C:\\WINDOWS\\system32\\kivdata.dll", true},
        {"abclib.dll", false, "C:\\WINDOWS\\system32\\abclib.dll", true},
        {"Grid.ocx", true, "C:\\WINDOWS\\SysWOW64\\Grid.ocx", true},
        {"KEYS.dep", true, "C:\\WINDOWS\\system32\\KEYS.dep", false},
        {"kivlib.dll", true, "C:\\Kiv\\Library\\kivlib.dll", true},
    };
    for (const auto& route : routes) {
        SCOPED_TRACE(route.name);
        Reset();
        if (route.windows64) {
            Make64Bit();
        }
        Stage(route.name);
        RunPass();
        const auto& copies = std::dynamic_pointer_cast<fake::FileSystem>(FileSystem)->copies;
        EXPECT_EQ(copies.size(), route.destination != nullptr ? 1u : 0u);
        if (route.destination != nullptr) {
            EXPECT_EQ(Content(route.destination), std::string("new ") + route.name);
        }
        const bool registered =
            std::count(windows().view.log.begin(), windows().view.log.end(), kRegistering) == 1;
        EXPECT_EQ(registered, route.registered);
        EXPECT_EQ(windows().view.visible[label::Bitness], route.windows64);
        EXPECT_EQ(windows().view.value, 100);
    }
}

TEST_F(UpdatePassTest, AComponentPresentInSystem32IsReplacedThereOn64Bit) {
    Make64Bit();
    Installed("C:\\WINDOWS\\system32\\Grid.ocx", kOld);
    Stage("Grid.ocx");
    RunPass();
    EXPECT_EQ(Content("C:\\WINDOWS\\system32\\Grid.ocx"), "new Grid.ocx");
    EXPECT_EQ(windows().files.Find("C:\\WINDOWS\\SysWOW64\\Grid.ocx"), nullptr);
}

TEST_F(UpdatePassTest, ShowsEachStepOfAComponentAndRepaintsIt) {
    Stage("Grid.ocx");
    RunPass();
    EXPECT_EQ(windows().view.log,
              (Lines{"...", "...", "Path = C:\\Kiv\\support", "File Count = 1", " Grid.ocx",
                     kDetermine, kVerify, kCopy, kRemoving, kRegistering, " ...", " ..."}));
    const auto& trace = windows().trace;
    for (const std::string& step : {kDetermine, kVerify, kCopy, kRemoving, kRegistering}) {
        const auto shown = std::find(trace.begin(), trace.end(), "label 21 =" + step);
        ASSERT_NE(shown, trace.end()) << step;
        EXPECT_EQ(*(shown + 1), "repaint 21") << step;
    }
}

struct CopyCase {
    FileTime installed;
    bool copied;
};

TEST_F(UpdatePassTest, CopiesOnlyOverAStrictlyOlderInstalledFile) {
    const CopyCase cases[] = {{kNew - 1, true}, {kNew, false}, {kNew + 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installed);
        Reset();
        Installed("C:\\WINDOWS\\system32\\Grid.ocx", c.installed);
        Stage("Grid.ocx");
        RunPass();
        EXPECT_EQ(Content("C:\\WINDOWS\\system32\\Grid.ocx"), c.copied ? "new Grid.ocx" : "old");
        EXPECT_EQ(Log(2), c.copied ? kRegistering : kCopy);  // 1051 shown either way
    }
}

TEST_F(UpdatePassTest, RegistersNewCopiesAndReplacementsOutsideTheLibrary) {
    const std::pair<CopyKind, const char*> yes[] = {
        {CopyKind::NewCopy, "C:\\Kiv\\Library\\kivlib.dll"},
        {CopyKind::NewCopy, "C:\\WINDOWS\\system32\\a.dll"},
        {CopyKind::Replacement, "C:\\WINDOWS\\system32\\a.dll"},
        {CopyKind::Replacement, "C:\\Kiv\\Libraryx\\kivlib.dll"},
    };
    const std::pair<CopyKind, const char*> no[] = {
        {CopyKind::Replacement, "C:\\Kiv\\Library\\kivlib.dll"},
        {CopyKind::Replacement, "C:\\Kiv\\LiBrArY\\kivlib.dll"},
        {CopyKind::NotCopied, "C:\\WINDOWS\\system32\\a.dll"},
    };
    for (const auto& [copy, target] : yes) {
        EXPECT_TRUE(ShouldRegister(copy, target)) << target;
    }
    for (const auto& [copy, target] : no) {
        EXPECT_FALSE(ShouldRegister(copy, target)) << target;
    }
}

struct Detection {
    const char* systemFolder;
    bool wow64HasFile;
    const char* wow64Folder;
};

TEST_F(UpdatePassTest, Detects64BitWindowsFromTheSystemFolder) {
    const Detection cases[] = {
        {"C:\\WINDOWS\\system32", true, "C:\\WINDOWS\\SysWOW64"},
        {"C:\\WINDOWS\\SYSTEM32", true, "C:\\WINDOWS\\SysWOW64"},
        {"C:\\WINDOWS\\system32\\x", true, "C:\\WINDOWS\\SysWOW64"},
        {"C:\\WINDOWS\\system32", false, ""},  // folder without an ordinary file
        {"C:\\WINNT\\SYSTEM", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.systemFolder);
        Reset();
        windows().dirs.system = c.systemFolder;
        windows().files.AddFolder("C:\\WINDOWS\\SysWOW64");
        windows().files.AddFile("C:\\WINDOWS\\SysWOW64\\hidden.dll", attr::Hidden);
        if (c.wow64HasFile) {
            windows().files.AddFile("C:\\WINDOWS\\SysWOW64\\kernel32.dll");
        }
        RunPass();
        EXPECT_EQ(Wow64Folder, c.wow64Folder);
        EXPECT_EQ(windows().view.visible[label::Bitness], !Wow64Folder.empty());
    }
}

TEST_F(UpdatePassTest, SystemFolderIsReadWithA255CharacterBuffer) {
    EXPECT_EQ(GetSystemFolder(), "C:\\WINDOWS\\system32");
    EXPECT_EQ(windows().dirs.sizes.back(), 255u);
    windows().dirs.system = std::string(300, 'x');
    EXPECT_EQ(GetSystemFolder(), "");
    windows().dirs.failing = true;
    EXPECT_EQ(GetSystemFolder(), "");
}

}  // namespace
}  // namespace kiv::testing
