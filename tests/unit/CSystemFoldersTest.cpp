#include <gtest/gtest.h>

#include "fakes/FakeWindows.h"
#include "folders/CSystemFolders.h"

namespace kiv {
namespace {

constexpr int32_t kDrives = 17;  // a virtual folder: no file-system path
constexpr int32_t kFonts = 20;
const std::string kRoaming = "C:\\Users\\ann\\AppData\\Roaming";

class CSystemFoldersTest : public ::testing::Test {
protected:
    CSystemFoldersTest() {
        windows.shell.folders[kDrives] = {""};
        windows.shell.folders[kFonts] = {"C:\\WINDOWS\\Fonts"};
    }
    CSystemFolders Make() {
        return CSystemFolders(windows.modules, windows.shell, windows.dirs, windows.files);
    }
    void WithoutShfolder() { windows.modules.modules.clear(); }

    fake::Windows windows;
};

TEST_F(CSystemFoldersTest, TrimNullCutsAtTheFirstNul) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "abc"}, {"ab\0cd"s, "ab"}, {"", ""}, {"\0abc"s, ""}, {"a  \0  "s, "a  "}};
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CSystemFolders::TrimNull(input), expected);
    }
}

TEST_F(CSystemFoldersTest, ProbeLoadsShfolderFromTheSystemOnlyAndReleasesIt) {
    auto folders = Make();
    EXPECT_TRUE(folders.Enhanced());
    EXPECT_EQ(windows.modules.calls,
              (std::vector<std::string>{"find shfolder", "load system shfolder", "free SHFOLDER"}));
    EXPECT_FALSE(windows.modules.IsLoaded("shfolder"));
}

TEST_F(CSystemFoldersTest, ProbeLeavesAnAlreadyLoadedShfolderLoaded) {
    windows.modules.modules["SHFOLDER"].loaded = true;
    EXPECT_TRUE(Make().Enhanced());
    EXPECT_TRUE(windows.modules.IsLoaded("shfolder"));
    EXPECT_EQ(windows.modules.calls, (std::vector<std::string>{"find shfolder"}));
}

TEST_F(CSystemFoldersTest, WithoutTheExportOrTheLibraryTheFallbackAnswers) {
    for (int variant = 0; variant < 3; ++variant) {
        fake::Windows fresh;
        windows.modules = fresh.modules;
        auto& shfolder = windows.modules.modules["SHFOLDER"];
        if (variant == 0) {
            shfolder.exports = {"SHGetFolderPathW"};  // no ANSI export
        } else if (variant == 1) {
            shfolder.loadable = false;  // no library at all
        } else {
            shfolder.inSystemDir = false;  // only a planted copy beside the program
        }
        windows.shell.folderPathCalls.clear();
        auto folders = Make();
        EXPECT_FALSE(folders.Enhanced()) << variant;
        EXPECT_FALSE(windows.modules.IsLoaded("shfolder")) << variant;
        EXPECT_EQ(folders.Path(CSIDL_APPDATA), kRoaming) << variant;
        EXPECT_TRUE(windows.shell.folderPathCalls.empty()) << variant;
    }
}

struct PathCase {
    bool Default;
    bool ForceCreation;
    int32_t csidlPassed;
    uint32_t flagsPassed;
};

TEST_F(CSystemFoldersTest, EnhancedPathPassesFlagAndTypeAndTrimsTheBuffer) {
    const PathCase cases[] = {
        {true, false, 26, 1},
        {false, false, 26, 0},
        {true, true, -32742, 1},  // 0xFFFF801A, never 0x801A
        {false, true, -32742, 0},
    };
    auto folders = Make();
    for (const auto& c : cases) {
        windows.shell.folderPathCalls.clear();
        EXPECT_EQ(folders.Path(CSIDL_APPDATA, c.Default, c.ForceCreation), kRoaming);
        ASSERT_EQ(windows.shell.folderPathCalls.size(), 1u);
        EXPECT_EQ(windows.shell.folderPathCalls[0].csidl, c.csidlPassed);
        EXPECT_EQ(windows.shell.folderPathCalls[0].flags, c.flagsPassed);
    }
    EXPECT_EQ(folders.Path(CSIDL_APPDATA).size(), kRoaming.size());
}

TEST_F(CSystemFoldersTest, EnhancedPathIsEmptyForAnyResultButOk) {
    windows.shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
    auto folders = Make();
    EXPECT_EQ(folders.Path(5), "");                                       // S_FALSE: missing folder
    EXPECT_EQ(folders.Path(5, true, true), "C:\\Users\\ann\\Documents");  // made by the shell
    EXPECT_EQ(folders.Path(kDrives), "");                                 // virtual
    EXPECT_EQ(folders.Path(99), "");                                      // E_INVALIDARG
}

TEST_F(CSystemFoldersTest, FallbackPathIgnoresBothOptionsAndFreesOnlyAfterSuccess) {
    WithoutShfolder();
    auto folders = Make();
    EXPECT_EQ(folders.Path(CSIDL_APPDATA, false, true), kRoaming);
    EXPECT_EQ(folders.Path(CSIDL_APPDATA), kRoaming);
    EXPECT_EQ(windows.shell.locationCalls, (std::vector<int32_t>{26, 26}));
    EXPECT_TRUE(windows.shell.created.empty());
    EXPECT_EQ(windows.shell.freed.size(), 2u);

    EXPECT_EQ(folders.Path(kDrives), "");  // list obtained, no path: still freed
    EXPECT_EQ(windows.shell.freed.size(), 3u);

    windows.shell.folders[40] = {"C:\\Users\\ann", hr::Ok, static_cast<int32_t>(0x80004005)};
    EXPECT_EQ(folders.Path(99), "");  // E_INVALIDARG
    EXPECT_EQ(folders.Path(40), "");  // E_FAIL
    EXPECT_EQ(windows.shell.freed.size(), 3u);
}

TEST_F(CSystemFoldersTest, ExistsOnBothRoutes) {
    windows.shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
    windows.shell.folders[39] = {"C:\\Users\\ann\\Pictures"};
    windows.files.AddFile("C:\\Users\\ann\\Pictures");  // a file, not a folder
    windows.files.AddFolder("C:\\WINDOWS\\Fonts");

    auto enhanced = Make();
    EXPECT_TRUE(enhanced.Exists(CSIDL_APPDATA));
    EXPECT_FALSE(enhanced.Exists(5));  // S_FALSE
    EXPECT_FALSE(enhanced.Exists(99));
    EXPECT_EQ(windows.shell.folderPathCalls.back().flags, 0u);
    EXPECT_EQ(windows.shell.folderPathCalls.back().csidl, 99);

    WithoutShfolder();
    auto fallback = Make();
    EXPECT_TRUE(fallback.Exists(CSIDL_APPDATA));
    EXPECT_TRUE(fallback.Exists(kFonts));
    EXPECT_FALSE(fallback.Exists(39));       // not a directory
    EXPECT_FALSE(fallback.Exists(kDrives));  // empty path
    EXPECT_FALSE(fallback.Exists(99));
    windows.shell.folders[41] = {"C:\\bad|name"};
    EXPECT_FALSE(fallback.Exists(41));  // malformed name trapped
    windows.shell.folders[42] = {"Q:\\nowhere\\at\\all"};
    EXPECT_FALSE(fallback.Exists(42));
}

TEST_F(CSystemFoldersTest, DirectoriesAreCutToTheReportedLength) {
    auto folders = Make();
    EXPECT_EQ(folders.SysDir(), "C:\\WINDOWS\\system32");
    EXPECT_EQ(folders.WinDir(), "C:\\WINDOWS");
    EXPECT_EQ(folders.TmpDir(), "C:\\Temp\\");
    EXPECT_EQ(windows.dirs.sizes, (std::vector<uint32_t>{260, 260, 260}));

    windows.dirs.temp = std::string(300, 'x');  // does not fit the buffer
    EXPECT_EQ(folders.TmpDir(), "");
    windows.dirs.failing = true;
    EXPECT_EQ(folders.SysDir(), "");
    EXPECT_EQ(folders.WinDir(), "");
    EXPECT_EQ(folders.TmpDir(), "");
}

}  // namespace
}  // namespace kiv
