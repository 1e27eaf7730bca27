#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ErrorNumber.h"
#include "platform/win32/Files_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/Windows_win.h"
// After the Win32 layer, whose headers take the A/W macros away.
#include "Fixture.h"

namespace kiv {
namespace {

constexpr FileTime kStaged = 1600000000;  // 2020-09-13 12:26:40 UTC
constexpr FileTime kOlder = 1500000000;

FILETIME ToFileTime(FileTime seconds, int64_t extraTicks = 0) {
    const uint64_t ticks =
        static_cast<uint64_t>(seconds * 10000000 + 116444736000000000 + extraTicks);
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// A fresh folder under the temporary folder, removed with all it holds.
class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)); }
    void TearDown() override { e2e::RemoveTree(root_); }

    std::string Path(const std::string& name) const { return ToUtf8(root_) + "\\" + name; }

    void Write(const std::string& name, const std::string& content, FileTime time = kStaged,
               DWORD attributes = FILE_ATTRIBUTE_NORMAL, int64_t extraTicks = 0) {
        const std::wstring path = ToWide(Path(name));
        ScopedKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file) << name;
        DWORD written = 0;
        WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                  nullptr);
        const FILETIME modified = ToFileTime(time, extraTicks);
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &modified));
        file.Reset();
        SetFileAttributesW(path.c_str(), attributes);
    }

    void MakeFolder(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY) {
        const std::wstring path = ToWide(Path(name));
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        SetFileAttributesW(path.c_str(), attributes);
    }

    std::string Read(const std::string& name) const {
        return e2e::ReadBytes(ToWide(Path(name))).value_or("<missing>");
    }
    std::vector<std::string> Entries() const { return e2e::EntryNames(root_); }

    std::wstring root_ = e2e::NewTemporaryFolder();
    Win32Files files_;
    std::shared_ptr<IFileSystem> fso_ = files_.CreateFileSystem();
};

TEST_F(Win32FileSystemTest, CopyMakesOrReplacesTheDestinationKeepingTheSourceTime) {
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "over an older copy" : "a new copy");
        Write("staged.dll", "new content", kStaged, FILE_ATTRIBUTE_ARCHIVE, 9999999);
        if (installed) {
            Write("installed.dll", "old", kOlder);
        }
        EXPECT_EQ(fso_->FileExists(Path("installed.dll")), installed);
        fso_->CopyFile(Path("staged.dll"), Path("installed.dll"));
        EXPECT_TRUE(fso_->FileExists(Path("installed.dll")));
        EXPECT_EQ(Read("installed.dll"), "new content");
        EXPECT_EQ(files_.LastModified(Path("installed.dll")), kStaged);
        EXPECT_EQ(Entries(), (std::vector<std::string>{"installed.dll", "staged.dll"}));
        DeleteFileW(ToWide(Path("installed.dll")).c_str());
    }
}

TEST_F(Win32FileSystemTest, FailedCopyLeavesTheDestinationAsItWas) {
    struct Case {
        const char* what;
        const char* source;
        const char* destination;
        DWORD destinationAttributes;
        bool holdDestination;
        int32_t number;
    };
    const Case cases[] = {
        {"in use", "staged.dll", "installed.dll", FILE_ATTRIBUTE_NORMAL, true, 70},
        {"read-only", "staged.dll", "installed.dll", FILE_ATTRIBUTE_READONLY, false, 70},
        {"no source", "gone.dll", "installed.dll", FILE_ATTRIBUTE_NORMAL, false, 53},
        {"no source folder", "gone\\a.dll", "installed.dll", FILE_ATTRIBUTE_NORMAL, false, 76},
        {"no folder", "staged.dll", "Library\\installed.dll", FILE_ATTRIBUTE_NORMAL, false, 76},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("staged.dll", "new");
        Write("installed.dll", "old", kOlder, c.destinationAttributes);
        const auto before = Entries();
        ScopedKernelHandle held;
        if (c.holdDestination) {
            held.Reset(CreateFileW(ToWide(Path(c.destination)).c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
        }
        EXPECT_EQ(ErrorNumberOf([&] { fso_->CopyFile(Path(c.source), Path(c.destination)); }),
                  c.number);
        held.Reset();
        EXPECT_EQ(Read("installed.dll"), "old");
        EXPECT_EQ(files_.LastModified(Path("installed.dll")), kOlder);
        EXPECT_EQ(Entries(), before);
        SetFileAttributesW(ToWide(Path("installed.dll")).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Win32FileSystemTest, FileExistsIsForFilesOnly) {
    Write("file.dll", "x");
    MakeFolder("folder.dll");
    EXPECT_TRUE(fso_->FileExists(Path("file.dll")));
    EXPECT_FALSE(fso_->FileExists(Path("folder.dll")));
    EXPECT_FALSE(fso_->FileExists(Path("missing.dll")));
    EXPECT_FALSE(fso_->FileExists(""));
}

TEST_F(Win32FileSystemTest, LastModifiedInWholeSecondsUtc) {
    Write("late.dll", "x", kStaged, FILE_ATTRIBUTE_NORMAL, 9999999);
    Write("early.dll", "x", -1, FILE_ATTRIBUTE_NORMAL, 5000000);  // 1969-12-31 23:59:59.5
    EXPECT_EQ(files_.LastModified(Path("late.dll")), kStaged);
    EXPECT_EQ(files_.LastModified(Path("early.dll")), -1);
    EXPECT_EQ(ErrorNumberOf([&] { files_.LastModified(Path("missing.dll")); }), 53);
}

TEST_F(Win32FileSystemTest, FirstNormalFileSkipsHiddenSystemAndFolders) {
    Write("hidden.txt", "x", kStaged, FILE_ATTRIBUTE_HIDDEN);
    Write("system.txt", "x", kStaged, FILE_ATTRIBUTE_SYSTEM);
    MakeFolder("folder");
    EXPECT_EQ(files_.FirstNormalFile(Path("*.*")), "");
    Write("plain.txt", "x", kStaged, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files_.FirstNormalFile(Path("*.*")), "plain.txt");
    SetFileAttributesW(ToWide(Path("plain.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(files_.FirstNormalFile(Path("missing\\*.*")), "");
}

TEST_F(Win32FileSystemTest, ListFilesFiltersAndSortsIgnoringCase) {
    Write("b.txt", "x");
    Write("A.dll", "x", kStaged, FILE_ATTRIBUTE_READONLY);
    Write("c.ocx", "x", kStaged, FILE_ATTRIBUTE_ARCHIVE);
    Write("Z.dep", "x");
    Write("_x.txt", "x");  // '_' sorts after the letters once they are upper-cased
    Write("hidden.dll", "x", kStaged, FILE_ATTRIBUTE_HIDDEN);
    Write("system.dll", "x", kStaged, FILE_ATTRIBUTE_SYSTEM);
    MakeFolder("folder.dll");
    const std::vector<std::string> expected = {"A.dll", "b.txt", "c.ocx", "Z.dep", "_x.txt"};
    EXPECT_EQ(files_.ListFiles(ToUtf8(root_)), expected);
    EXPECT_EQ(files_.ListFiles(ToUtf8(root_) + "\\"), expected);
    EXPECT_EQ(files_.ListFiles(Path("folder.dll")), std::vector<std::string>());
    EXPECT_EQ(ErrorNumberOf([&] { files_.ListFiles(Path("missing")); }), 76);
    EXPECT_EQ(ErrorNumberOf([&] { files_.ListFiles(Path("b.txt")); }), 76);
    SetFileAttributesW(ToWide(Path("A.dll")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace kiv
