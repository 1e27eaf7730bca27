#include <climits>

#include "folders/CSystemFolders.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

class FoldersTest : public ProgramFixture {
protected:
    // Resolvers on the enhanced route find SHGetFolderPathA in shfolder; the others do not.
    CSystemFolders Make(bool enhanced) {
        if (!enhanced) {
            win->modules.modules.clear();
        }
        CSystemFolders folders;
        win->trace.clear();
        return folders;
    }
};

TEST_F(FoldersTest, TrimNullCutsAtTheFirstNul) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "abc"}, {"ab\0cd"s, "ab"}, {"", ""}, {"\0abc"s, ""}, {"a  \0  "s, "a  "}};
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CSystemFolders::TrimNull(input), expected);
    }
}

// The probe asks for the ANSI export by name; the program calls the wide one.
TEST_F(FoldersTest, ProbeLoadsShfolderFromTheSystemOnlyAndFreesWhatItLoaded) {
    const Lines loadAndFree = {"find shfolder", "load system shfolder", "free shfolder"};
    const std::set<std::string> both = {"SHGetFolderPathA", "SHGetFolderPathW"};
    // already loaded, exports, loadable, enhanced route, trace
    const std::tuple<bool, std::set<std::string>, bool, bool, Lines> probes[] = {
        {false, both, true, true, loadAndFree + loadAndFree},
        {true, both, true, true, {"find shfolder", "find shfolder"}},
        {false, {"SHGetFolderPathW"}, true, false, loadAndFree},
        {false, {"SHGetFolderPathA"}, true, false, loadAndFree + loadAndFree},
        {false, both, false, false, {"find shfolder", "load system shfolder"}},
    };
    for (const auto& [loaded, exports, loadable, enhanced, trace] : probes) {
        Reset();
        auto& shfolder = win->modules.modules.at("SHFOLDER");
        shfolder.loaded = loaded;
        shfolder.loadable = loadable;
        shfolder.exports = exports;
        EXPECT_EQ(CSystemFolders().Enhanced(), enhanced);
        EXPECT_EQ(win->trace, trace);
    }
}

TEST_F(FoldersTest, PathPassesTheTypeAndTheSignedCreationFlagAndTrimsTheBuffer) {
    // enhanced route, Default, ForceCreation, the call made
    const std::tuple<bool, bool, bool, const char*> calls[] = {
        {true, true, false, "folder path 26 1"},
        {true, false, false, "folder path 26 0"},
        {true, true, true, "folder path -32742 1"},  // 26 | 0xFFFF8000, never 0x801A
        {true, false, true, "folder path -32742 0"},
        {false, false, true, "location 26"},  // the older route ignores both options
    };
    for (const auto& [enhanced, Default, ForceCreation, call] : calls) {
        SCOPED_TRACE(call);
        Reset();
        EXPECT_EQ(Make(enhanced).Path(26, Default, ForceCreation), kRoaming);
        EXPECT_EQ(win->trace.front(), call);
    }
}

TEST_F(FoldersTest, PathAndExistsOnBothRoutes) {
    // enhanced route, CSIDL, path, exists, item lists freed
    const std::tuple<bool, int32_t, std::string, bool, size_t> cases[] = {
        {true, 26, kRoaming, true, 0},
        {true, 5, "", false, 0},  // S_FALSE: the folder is missing
        {false, 26, kRoaming, true, 2},
        {false, 17, "", false, 2},  // a virtual folder: an item list, no path
        {false, 99, "", false, 0},  // E_INVALIDARG: no item list to free
        {false, 39, "C:\\Users\\ann\\Pictures", false, 2},  // a file, not a folder
        {false, 42, "Q:\\nowhere", false, 2},
    };
    for (const auto& [enhanced, csidl, path, exists, listsFreed] : cases) {
        SCOPED_TRACE(std::to_string(csidl) + (enhanced ? " enhanced" : ""));
        Reset();
        win->shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
        win->shell.folders[17] = {""};
        win->shell.folders[39] = {"C:\\Users\\ann\\Pictures"};
        win->shell.folders[42] = {"Q:\\nowhere"};
        win->files.Add("C:\\Users\\ann\\Pictures");
        auto folders = Make(enhanced);
        EXPECT_EQ(folders.Path(csidl), path);
        EXPECT_EQ(folders.Exists(csidl), exists);
        EXPECT_EQ(Traced("free list").size(), listsFreed);
        if (enhanced) {
            EXPECT_EQ(win->trace.back(), "folder path " + std::to_string(csidl) + " 0");
        }
    }
}

TEST_F(FoldersTest, DirectoriesAreReadIntoA260CharacterBuffer) {
    CSystemFolders folders;
    const auto read = [&] { return Lines{folders.SysDir(), folders.WinDir(), folders.TmpDir()}; };
    win->trace.clear();
    EXPECT_EQ(read(), (Lines{kSys32, "C:\\WINDOWS", "C:\\Temp\\"}));
    EXPECT_EQ(win->trace, (Lines{"system dir 260", "windows dir 260", "temp dir 260"}));
    win->dirs.system = win->dirs.windows = win->dirs.temp = std::string(260, 'x');
    EXPECT_EQ(read(), (Lines{"", "", ""}));  // no room left for the NUL
    win->dirs.failing = true;
    EXPECT_EQ(read(), (Lines{"", "", ""}));
}

TEST(DescriptionTest, EachKindOfTextAndOnlyTheSignedCreationFlag) {
    const std::pair<int32_t, const char*> texts[] = {
        {0, "Desktop (virtual)"},
        {2, "\\Start Menu\\Programs (current user)"},
        {20, "C:\\Windows\\Fonts (system)"},
        {22, "\\Start Menu (all users)"},
        {41, "x86 system directory on RISC"},
        {42, "x86 Program Files folder on RISC"},
        {44, "x86 Program Files Common folder on RISC"},
        {49, "Network and Dial-up Connections"},
        {61, "Computers Near Me (virtual)"},
        {-32768, "Combine with any other CSIDL to force the creation of the associated folder."},
    };
    for (const auto& [csidl, text] : texts) {
        EXPECT_EQ(CSystemFolders::Description(csidl), text) << csidl;
    }
    for (int32_t csidl : {15, 50, 51, 52, 60, 62, 1000, INT32_MAX, -1, INT32_MIN, 32768, -32742}) {
        EXPECT_EQ(CSystemFolders::Description(csidl), "{unknown constant}") << csidl;
    }
}

}  // namespace
}  // namespace kiv::testing
