#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>

#include "EndToEnd.h"

namespace kiv::e2e {
namespace {

const FILETIME kStaged = UtcTime(2023, 5, 17, 9, 30, 12);
constexpr LONGLONG kDay = 86400;

TEST(EndToEndPass, EmptyFolderShowsTheDesignedWindowTheHeaderOnlyAndAFullBar) {
    Installation install;
    Driver driver(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    EXPECT_TRUE(LogIs(driver, PassLog(install.Support(), {})));
    EXPECT_EQ(driver.Caption(kLabel8), " ...");
    EXPECT_EQ(driver.Caption(kLabel21), " ...");
    EXPECT_EQ(driver.ProgressRange(), std::make_optional(std::make_pair(0, 100)));
    EXPECT_EQ(driver.ProgressPosition(), 100);

    // 6060 by 6285 twips, 15 twips a pixel at 96 dpi: 404 by 419 pixels.
    const HWND window = driver.Window();
    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(6060, dpiX, 1440));
    EXPECT_EQ(client.bottom, MulDiv(6285, dpiY, 1440));
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE), WS_EX_LAYERED);
    EXPECT_EQ(driver.Alpha(), std::optional<BYTE>(200));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_BORDER) << "a thin border and no title bar";
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_LE(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

    EXPECT_EQ(driver.Caption(0), "kiv");
    EXPECT_EQ(driver.Caption(kLabel1), "64-bit");
    EXPECT_EQ(driver.Caption(kLabel2), text::kTitle);
    EXPECT_EQ(driver.ControlText(kCommand1), "End");
    EXPECT_EQ(driver.Visible(kLabel1), !CurrentSystemFolders().wow64.empty())
        << "the 64-bit marker shows exactly when SysWOW64 holds files";
    EXPECT_TRUE(EndedByEnd(driver));
}

enum Where { Nowhere, System, Wow64, Library };

struct Row {
    const wchar_t* name;
    Kind kind;
    Where installed;        // where a copy is installed before the run
    LONGLONG installedAge;  // seconds that copy is older than the staged one (< 0: newer)
    Where without64;        // where the file is afterwards without a populated SysWOW64
    Where with64;           // and with one
    bool copied;
    bool registered;
};

const std::vector<Row> kMixed = {
    {L"Grid.Ocx", Kind::Component, Nowhere, 0, System, Wow64, true, true},
    {L"KEYS.dep", Kind::SystemFile, Nowhere, 0, System, System, true, false},
    {L"notes.txt", Kind::Skipped, Nowhere, 0, Nowhere, Nowhere, false, false},
    {L"kivmixedlib.dll", Kind::Component, Nowhere, 0, Library, Library, true, true},
    {L"KIVDATALIB.DLL", Kind::Component, Nowhere, 0, Library, Library, true, true},
    {L"kivdata.dll", Kind::Component, Nowhere, 0, System, Wow64, true, true},
    {L"abclib.dll", Kind::Component, Nowhere, 0, System, Wow64, true, true},
};

const std::vector<Row> kInstalled = {
    {L"e2e_older.ocx", Kind::Component, System, kDay, System, System, true, true},
    {L"e2e_same.ocx", Kind::Component, System, 0, System, System, false, false},
    {L"e2e_newer.ocx", Kind::Component, System, -kDay, System, System, false, false},
    {L"E2E_OLDER.DEP", Kind::SystemFile, System, 1, System, System, true, false},
    {L"E2E_SAME.DEP", Kind::SystemFile, System, 0, System, System, false, false},
    // A replaced library DLL is not registered again.
    {L"kivolderlib.dll", Kind::Component, Library, kDay, Library, Library, true, false},
    {L"kivsamelib.dll", Kind::Component, Library, 0, Library, Library, false, false},
    {L"kivnewerlib.dll", Kind::Component, Library, -1, Library, Library, false, false},
    // Only where SysWOW64 holds files: a component missing from the system folder.
    {L"e2e_olderwow.ocx", Kind::Component, Wow64, kDay, Nowhere, Wow64, true, true},
    {L"e2e_newerwow.ocx", Kind::Component, Wow64, -kDay, Nowhere, Wow64, false, false},
};

enum class Shape { AsItIs, SeededWow64 };

// Each routing run on the prefix as it is, and once more with its SysWOW64 made to look
// like that of 64-bit Windows where the prefix has the folder but no files in it (a 64-bit
// prefix on a machine without 32-bit wine).
class EndToEndRouting : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override {
        if (GetParam() == Shape::AsItIs) {
            return;
        }
        const SystemFolders folders = CurrentSystemFolders();
        if (!folders.wow64.empty()) {
            GTEST_SKIP() << "SysWOW64 holds files: the prefix as it is covers 64-bit Windows";
        }
        if (folders.wow64Path.empty() || !Exists(folders.wow64Path)) {
            GTEST_SKIP() << "no SysWOW64 folder to seed: a 32-bit prefix";
        }
        SeedWow64(files_);
    }

    void Run(const std::vector<Row>& table);

    SystemFiles files_;
};

void EndToEndRouting::Run(const std::vector<Row>& table) {
    const SystemFolders folders = CurrentSystemFolders();
    const bool wide = !folders.wow64.empty();
    std::vector<Row> rows;
    std::copy_if(table.begin(), table.end(), std::back_inserter(rows),
                 [&](const Row& row) { return wide || row.installed != Where::Wow64; });

    Installation install;
    install.MakeLibrary();
    const std::wstring folderOf[] = {L"", folders.system, folders.wow64Path, install.Library()};
    auto pathIn = [&](Where where, const std::wstring& name) {
        return where == Where::Nowhere ? L"" : folderOf[static_cast<int>(where)] + L"\\" + name;
    };
    // The system folders a file could wrongly land in. A 32-bit process on 64-bit Windows
    // sees SysWOW64 through the name system32 as well, so there the two are one place.
    std::vector<Where> systemPlaces = {Where::System};
    if (wide && folders.separate) {
        systemPlaces.push_back(Where::Wow64);
    }
    auto samePlace = [&](Where a, Where b) {
        return a == b || (!folders.separate && a != Where::Library && b != Where::Library &&
                          a != Where::Nowhere && b != Where::Nowhere);
    };

    const std::string component = BuiltBytes();
    std::vector<std::string> names;
    std::vector<std::string> staged;
    std::vector<std::string> installed;
    std::vector<FILETIME> installedTimes;
    for (const Row& row : rows) {
        names.push_back(Utf8(row.name));
        staged.push_back(row.kind == Kind::Component
                             ? component
                             : Pattern("staged " + names.back(), 300 + 7 * names.size()));
        install.Stage(row.name, staged.back(), kStaged);
        installed.push_back(Pattern("installed " + names.back(), 200));
        installedTimes.push_back(Shifted(kStaged, -row.installedAge));
        for (Where place : systemPlaces) {
            if (!samePlace(place, row.installed)) {
                files_.Expect(pathIn(place, row.name));
            }
        }
        if (row.installed == Where::Library) {
            WriteNewFile(pathIn(row.installed, row.name), installed.back(), installedTimes.back());
        } else if (row.installed != Where::Nowhere) {
            files_.Place(pathIn(row.installed, row.name), installed.back(), installedTimes.back());
        }
    }

    Driver driver(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    const auto lines = driver.Lines();
    ASSERT_TRUE(lines.has_value());
    const std::vector<std::string> order = OrderTaken(*lines, names);
    ASSERT_TRUE(std::is_permutation(order.begin(), order.end(), names.begin(), names.end()))
        << "each staged file is taken once; the log reads\n"
        << Joined(*lines);
    std::vector<Logged> logged;
    for (const std::string& name : order) {
        const Row& row = rows[std::find(names.begin(), names.end(), name) - names.begin()];
        logged.push_back({name, row.kind, row.registered});
    }
    EXPECT_TRUE(LogIs(driver, PassLog(install.Support(), logged)));
    EXPECT_EQ(driver.Visible(kLabel1), wide);
    EXPECT_EQ(driver.ProgressPosition(), 100);

    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(names[i]);
        EXPECT_TRUE(ReadBytes(install.Support(row.name)) == staged[i])
            << "the staged file stays as it was";
        const Where landed = wide ? row.with64 : row.without64;
        for (Where place : systemPlaces) {
            if (!samePlace(place, landed) && !samePlace(place, row.installed)) {
                EXPECT_FALSE(Exists(pathIn(place, row.name))) << Utf8(pathIn(place, row.name));
            }
        }
        if (landed == Where::Nowhere) {
            EXPECT_FALSE(Exists(install.Library(row.name)));
            continue;
        }
        const std::wstring path = pathIn(landed, row.name);
        EXPECT_TRUE(ReadBytes(path) == (row.copied ? staged[i] : installed[i]))
            << Utf8(path) << (row.copied ? " holds the staged copy" : " is left as it was");
        const auto time = ModifiedTime(path);
        ASSERT_TRUE(time.has_value()) << Utf8(path);
        const FILETIME expected = row.copied ? kStaged : installedTimes[i];
        EXPECT_TRUE(SameTime(*time, expected))
            << Utf8(path) << " last modified " << Text(*time) << ", not " << Text(expected);
    }
    EXPECT_TRUE(EndedByEnd(driver));
}

TEST_P(EndToEndRouting, MixedFolderLandsEachKindWhereItBelongs) {
    Run(kMixed);
}

TEST_P(EndToEndRouting, InstalledCopyIsReplacedOnlyWhenOlder) {
    Run(kInstalled);
}

INSTANTIATE_TEST_SUITE_P(Prefix, EndToEndRouting,
                         ::testing::Values(Shape::AsItIs, Shape::SeededWow64),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                             return info.param == Shape::AsItIs ? "AsItIs" : "SeededWow64";
                         });

}  // namespace
}  // namespace kiv::e2e
