#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "ErrorNumber.h"
#include "folders/CSystemFolders.h"
#include "platform/win32/Files_win.h"
#include "platform/win32/Modules_win.h"
#include "platform/win32/ShellFolders_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/SystemDirs_win.h"

namespace kiv {
namespace {

std::string Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : ToUtf8(value, length);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class Win32FoldersTest : public ::testing::Test {
protected:
    CSystemFolders Make() { return CSystemFolders(modules, shell, dirs, files); }

    Win32Modules modules;
    Win32ShellFolders shell;
    Win32SystemDirs dirs;
    Win32Files files;
};

TEST_F(Win32FoldersTest, RoamingApplicationDataOnTheEnhancedRoute) {
    auto folders = Make();
    ASSERT_TRUE(folders.Enhanced());
    const std::string roaming = folders.Path(CSIDL_APPDATA);
    EXPECT_EQ(roaming, Environment(L"APPDATA"));
    EXPECT_TRUE(EndsWith(roaming, "\\AppData\\Roaming")) << roaming;
    EXPECT_EQ(roaming.find('\0'), std::string::npos);
    EXPECT_NE(roaming.back(), ' ');
    EXPECT_TRUE(folders.Exists(CSIDL_APPDATA));
}

TEST_F(Win32FoldersTest, ProbeLeavesShfolderAsItFoundIt) {
    const bool loadedBefore = GetModuleHandleW(L"shfolder") != nullptr;
    Make();
    EXPECT_EQ(GetModuleHandleW(L"shfolder") != nullptr, loadedBefore);
}

TEST_F(Win32FoldersTest, VirtualAndUnknownFoldersHaveNoPath) {
    auto folders = Make();
    EXPECT_EQ(folders.Path(17), "");
    EXPECT_EQ(folders.Path(1000), "");
    EXPECT_FALSE(folders.Exists(1000));
}

TEST_F(Win32FoldersTest, FixedDirectories) {
    auto folders = Make();
    EXPECT_EQ(folders.SysDir(), "C:\\windows\\system32");
    EXPECT_EQ(folders.WinDir(), "C:\\windows");
    const std::string temp = folders.TmpDir();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_EQ(temp.find('\0'), std::string::npos);
}

TEST_F(Win32FoldersTest, AttributesRaiseRuntimeErrors) {
    EXPECT_NE(files.GetAttributes("C:\\windows") & 0x10, 0u);
    const std::pair<const char*, int32_t> missing[] = {
        {"C:\\windows\\no-such-file.txt", 53},
        {"C:\\no-such-folder\\file.txt", 76},
        {"", 53},
    };
    for (const auto& c : missing) {
        EXPECT_EQ(ErrorNumberOf([&] { files.GetAttributes(c.first); }), c.second) << c.first;
    }
}

}  // namespace
}  // namespace kiv
