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

// The probe asks for the ANSI export by name; the program calls the wide one.
TEST_F(FoldersTest, ProbeLoadsShfolderFromTheSystemOnlyAndFreesWhatItLoaded) {
    const Lines loadAndFree = {"find shfolder", "load system shfolder", "free"};
    const std::set<std::string> both = {"SHGetFolderPathA", "SHGetFolderPathW"};
    struct Probe {
        bool alreadyLoaded;
        std::set<std::string> exports;
        bool loadable, enhanced;
        Lines trace;
    };
    const Probe probes[] = {
        {false, both, true, true, loadAndFree + loadAndFree},
        {true, both, true, true, {"find shfolder", "find shfolder"}},
        {false, {"SHGetFolderPathW"}, true, false, loadAndFree},
        {false, {"SHGetFolderPathA"}, true, false, loadAndFree + loadAndFree},
        {false, both, false, false, {"find shfolder", "load system shfolder"}},
    };
    for (const Probe& probe : probes) {
        Reset();
        win->modules.modules["SHFOLDER"] = {probe.exports, probe.alreadyLoaded, probe.loadable};
        EXPECT_EQ(CSystemFolders().Enhanced(), probe.enhanced);
        EXPECT_EQ(win->trace, probe.trace);
    }
}

TEST_F(FoldersTest, PathPassesTheTypeAndTheSignedCreationFlagAndTrimsTheBuffer) {
    struct Row {
        bool enhanced, Default, ForceCreation;
        const char* call;
    };
    const Row rows[] = {
        {true, true, false, "folder path 26 1"},
        {true, false, false, "folder path 26 0"},
        {true, true, true, "folder path -32742 1"},  // 26 | 0xFFFF8000, never 0x801A
        {false, false, true, "location 26"},         // the older route ignores both options
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        Reset();
        EXPECT_EQ(Make(row.enhanced).Path(26, row.Default, row.ForceCreation), kRoaming);
        EXPECT_EQ(win->trace.front(), row.call);
    }
}

TEST_F(FoldersTest, PathAndExistsOnBothRoutes) {
    struct Row {
        bool enhanced;
        int32_t csidl;
        std::string path;
        bool exists;
        size_t itemListsFreed;
    };
    const Row rows[] = {
        {true, 26, kRoaming, true, 0},
        {true, 5, "", false, 0},  // S_FALSE: the folder is missing
        {false, 26, kRoaming, true, 2},
        {false, 17, "", false, 2},  // a virtual folder: an item list, no path
        {false, 99, "", false, 0},  // E_INVALIDARG: no item list to free
        {false, 39, "C:\\Users\\ann\\Pictures", false, 2},  // a file, not a folder
        {false, 42, "Q:\\nowhere", false, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.csidl) + (row.enhanced ? " enhanced" : ""));
        Reset();
        win->shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
        win->shell.folders[17] = {""};
        win->shell.folders[39] = {"C:\\Users\\ann\\Pictures"};
        win->shell.folders[42] = {"Q:\\nowhere"};
        win->files.Add("C:\\Users\\ann\\Pictures");
        auto folders = Make(row.enhanced);
        EXPECT_EQ(folders.Path(row.csidl), row.path);
        EXPECT_EQ(folders.Exists(row.csidl), row.exists);
        EXPECT_EQ(Traced({"free list"}).size(), row.itemListsFreed);
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
        {49, "Network and Dial-up Connections"},
        {61, "Computers Near Me (virtual)"},
        {-32768, "Combine with any other CSIDL to force the creation of the associated folder."},
    };
    for (const auto& [csidl, text] : texts) {
        EXPECT_EQ(CSystemFolders::Description(csidl), text) << csidl;
    }
    for (int32_t csidl : {15, 50, 62, -1, 32768, -32742}) {
        EXPECT_EQ(CSystemFolders::Description(csidl), "{unknown constant}") << csidl;
    }
}

}  // namespace
}  // namespace kiv::testing
