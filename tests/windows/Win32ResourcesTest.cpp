#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "messages/LoadMessage.h"
#include "platform/Ports.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/StringTable_win.h"

namespace kiv {
namespace {

// The program under test: KIV_PROGRAM names it (the shipped 32-bit build, read as data
// by a 64-bit suite), else the kivupdate.exe built beside this test.
std::wstring ProgramPath() {
    wchar_t named[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"KIV_PROGRAM", named, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return named;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"kivupdate.exe";
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0) {
        return L"<missing>";
    }
    return std::wstring(value, wcsnlen(value, length));
}

// The built program's own resources, loaded as data.
class Win32StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_.Reset(LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(program_.Valid()) << "cannot load " << ToUtf8(ProgramPath());
        table_ = std::make_unique<Win32StringTable>(program_.Get());
        Ports ports;
        ports.strings = table_.get();
        InstallPorts(ports);
        MessageBase = 20000;
    }
    void TearDown() override { InstallPorts({}); }

    ScopedLibrary program_;
    std::unique_ptr<Win32StringTable> table_;
};

TEST_F(Win32StringTableTest, EveryCatalogueTextComesBackExactly) {
    int checked = 0;
    MessageBase = 0;
#define KIV_MESSAGE(id, text)                                     \
    EXPECT_EQ(LoadMessage(id), std::string(text)) << "id " << id; \
    ++checked;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
    EXPECT_EQ(checked, 30);
}

TEST_F(Win32StringTableTest, AccentsAndBlanksSurviveTheResourceCompiler) {
    MessageBase = 0;
    EXPECT_EQ(ToWide(LoadMessage(1051)), L"DLL Kopi\u00EBren naar Bestemming");
    MessageBase = 10000;
    EXPECT_EQ(ToWide(LoadMessage(1081)).substr(0, 31), L"L'installation ne peut \u00EAtre eff");
    MessageBase = 20000;
    EXPECT_EQ(LoadMessage(1019), "File :  ");
    EXPECT_EQ(LoadMessage(1009), " Determine File $\\Path...");
}

TEST_F(Win32StringTableTest, GapsAndEmptyEntriesGiveTheMarker) {
    for (int32_t code : {1091, 1000, 999, 1139, 0, -5}) {
        EXPECT_EQ(LoadMessage(code), " [LL " + std::to_string(code) + " ?] ");
    }
}

TEST(Win32VersionInfoTest, NamesTheProductAndItsVersion) {
    const std::wstring program = ProgramPath();
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(info, L"ProductName"), L"kivALDERVIK ");
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"Kiv Aldervik Update Installer");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"3.00.0013");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"3.00.0013");
    EXPECT_NE(VersionString(info, L"CompanyName").find(L"Kiv Software"), std::wstring::npos);
    EXPECT_NE(VersionString(info, L"LegalCopyright").find(L"Kiv Software"), std::wstring::npos);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(13, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(13, 0));
}

}  // namespace
}  // namespace kiv
