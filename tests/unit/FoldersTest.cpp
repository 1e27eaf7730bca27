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
    // clang-format off
    struct Probe { bool alreadyLoaded; std::set<std::string> exports; bool loadable, enhanced; Lines trace; };
    const Probe probes[] = {
        {false, both, true, true, loadAndFree + loadAndFree},
        {true, both, true, true, {"find shfolder", "find shfolder"}},
        {false, {"SHGetFolderPathW"}, true, false, loadAndFree},
        {false, {"SHGetFolderPathA"}, true, false, loadAndFree + loadAndFree},
        {false, both, false, false, {"find shfolder", "load system shfolder"}},
    };
    // clang-format on
    for (const Probe& probe : probes) {
        Reset();
        win->modules.modules["SHFOLDER"] = {probe.exports, probe.alreadyLoaded, probe.loadable};
        EXPECT_EQ(CSystemFolders().Enhanced(), probe.enhanced);
        EXPECT_EQ(win->trace, probe.trace);
    }
}

// The first call of each row shows the type and the signed creation flag passed on; the
// older route ignores both options.
TEST_F(FoldersTest, PathAndExistsOnBothRoutes) {
    const std::string pictures = "C:\\Users\\ann\\Pictures";
    // clang-format off
    struct Row { bool enhanced; int32_t csidl; bool Default, ForceCreation; const char* firstCall; std::string path; bool exists; size_t itemListsFreed; };
    const Row rows[] = {
        {true, 26, true, false, "folder path 26 1", kRoaming, true, 0},
        {true, 26, false, true, "folder path -32742 0", kRoaming, true, 0},  // 26 | 0xFFFF8000, never 0x801A
        {true, 5, false, false, "folder path 5 0", "", false, 0},            // S_FALSE: the folder is missing
        {false, 26, true, true, "location 26", kRoaming, true, 2},
        {false, 17, false, false, "location 17", "", false, 2},              // a virtual folder: no path
        {false, 99, false, false, "location 99", "", false, 0},              // E_INVALIDARG: no list to free
        {false, 39, false, false, "location 39", pictures, false, 2},        // a file, not a folder
        {false, 42, false, false, "location 42", "Q:\\nowhere", false, 2},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.firstCall);
        Reset();
        win->shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
        win->shell.folders[17] = {""};
        win->shell.folders[39] = {pictures};
        win->shell.folders[42] = {"Q:\\nowhere"};
        win->files.Add(pictures);
        auto folders = Make(row.enhanced);
        EXPECT_EQ(folders.Path(row.csidl, row.Default, row.ForceCreation), row.path);
        EXPECT_EQ(win->trace.front(), row.firstCall);
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

// Only the creation flag itself has a text, not a type combined with it.
TEST(DescriptionTest, OnlyTheSignedCreationFlagAndKnownTypesHaveATextOfTheirKind) {
    EXPECT_EQ(CSystemFolders::Description(0), "Desktop (virtual)");
    EXPECT_EQ(CSystemFolders::Description(20), "C:\\Windows\\Fonts (system)");
    EXPECT_EQ(CSystemFolders::Description(-32768),
              "Combine with any other CSIDL to force the creation of the associated folder.");
    for (int32_t csidl : {15, 50, 62, -1, 32768, -32742, INT32_MIN}) {
        EXPECT_EQ(CSystemFolders::Description(csidl), "{unknown constant}") << csidl;
    }
}

}  // namespace
}  // namespace kiv::testing
