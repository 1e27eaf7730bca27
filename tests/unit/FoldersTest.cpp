#include "folders/CSystemFolders.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

using FoldersTest = ProgramFixture;

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

// The first call shows the type and the signed creation flag passed on; the older route
// ignores both options.
TEST_F(FoldersTest, PathAndExistsPassTheTypeAndTheSignedCreationFlag) {
    // clang-format off
    struct Row { bool enhanced; int32_t csidl; bool Default, ForceCreation; const char* firstCall; std::string path; };
    const Row rows[] = {
        {true, 26, true, false, "folder path 26 1", kRoaming},
        {true, 26, false, true, "folder path -32742 0", kRoaming},  // 26 | 0xFFFF8000, never 0x801A
        {true, 5, false, false, "folder path 5 0", ""},             // S_FALSE: the folder is missing
        {false, 26, true, true, "location 26", ""},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.firstCall);
        Reset();
        win->shell.folders[5] = {"C:\\Users\\ann\\Documents", hr::False};
        if (!row.enhanced) {  // shfolder cannot be loaded
            win->modules.modules.clear();
        }
        CSystemFolders folders;
        win->trace.clear();
        EXPECT_EQ(folders.Path(row.csidl, row.Default, row.ForceCreation), row.path);
        EXPECT_EQ(win->trace.front(), row.firstCall);
        EXPECT_EQ(folders.Exists(row.csidl), !row.path.empty());
    }
}

}  // namespace
}  // namespace kiv::testing
