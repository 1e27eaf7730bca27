#include <shlobj.h>

#include <optional>

#include "EndToEnd.h"

namespace kiv::e2e {
namespace {

// Where the program installs when it is given no folder.
std::wstring DefaultInstallFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, path))) {
        return L"";
    }
    return std::wstring(path) + L"\\Kiv Aldervik";
}

struct RelaunchCase {
    const char* name;
    // What follows the installation's folder in the argument text, and what of it the
    // folder the program settles on keeps; null for no argument (the default folder).
    const wchar_t* tail;
    const wchar_t* kept;
    const wchar_t* separator = L" ";  // between the program's name and the argument text
    bool quoted = true;               // the program's name
};

const RelaunchCase kRelaunches[] = {
    {"EmptyArgument", nullptr, L""},
    {"Folder", L"", L""},
    {"TrailingBackslash", L"\\", L"\\"},
    {"TrailingBlanks", L"   ", L""},
    {"SeveralSeparatingBlanks", L"", L"", L"    "},
    {"UnquotedProgramName", L"", L"", L" ", false},
};

class EndToEndRelaunch : public ::testing::TestWithParam<RelaunchCase> {};

TEST_P(EndToEndRelaunch, CloseRelaunchesWithTheExactCommandLine) {
    const RelaunchCase& relaunch = GetParam();
    if (!relaunch.quoted && KivUpdatePath().find(L' ') != std::wstring::npos) {
        GTEST_SKIP() << "the program's path holds a blank, so it cannot go unquoted";
    }
    std::optional<Installation> install;
    if (relaunch.tail == nullptr) {
        const std::wstring folder = DefaultInstallFolder();
        ASSERT_FALSE(folder.empty()) << "no application-data folder";
        install.emplace(folder);
    } else {
        install.emplace();
    }
    install->PlaceStub();
    const std::wstring argument = relaunch.tail ? install->Folder() + relaunch.tail : L"";
    const std::wstring folder = install->Folder() + relaunch.kept;
    const std::wstring program =
        relaunch.quoted ? L"\"" + KivUpdatePath() + L"\"" : KivUpdatePath();
    Driver driver(argument.empty() ? program : program + relaunch.separator + argument);
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    EXPECT_TRUE(LogIs(driver, PassLog(folder + L"\\support", {})))
        << "the pass works on the settled folder";

    ASSERT_TRUE(ClosedAndRelaunchDone(driver));
    const auto starts = install->Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, Utf8(L"\"" + folder + L"\\kivapp1.exe\"" + argument));
    EXPECT_TRUE(starts[0].useShowWindow);
    EXPECT_EQ(starts[0].showWindow, SW_SHOWMINIMIZED);
}

INSTANTIATE_TEST_SUITE_P(Arguments, EndToEndRelaunch, ::testing::ValuesIn(kRelaunches), ByName());

TEST(EndToEndStart, QuotedFolderKeepsItsQuotesSoNothingCanBeRelaunched) {
    Installation install;
    install.PlaceStub();
    Driver driver(KivUpdateCommandLine(L"\"" + install.Folder() + L"\""));

    // The quotes stay in the folder, so "<folder>"\support names no folder.
    ASSERT_TRUE(PassEnded(driver, PassEnd::BoxShown));
    const auto box = driver.FindBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, text::kTitle);
    EXPECT_EQ(box->text, GeneralWording("...", "...", 76, "Path not found"));
    driver.Answer(*box);
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));

    // The relaunch command line starts with two quotes: Windows takes the empty quoted
    // token as the program's name and finds no such file, which the program reports as
    // an error nobody handled.
    driver.Close();
    const auto report = driver.WaitForBox(kExitMs);
    ASSERT_TRUE(report.has_value()) << driver.Status();
    EXPECT_NE(report->text.find("53"), std::string::npos) << report->text;
    EXPECT_NE(report->text.find("File not found"), std::string::npos) << report->text;
    driver.Answer(*report);
    EXPECT_TRUE(driver.WaitForExit(kExitMs).has_value()) << driver.Status();
    EXPECT_TRUE(driver.WaitForDescendants(kExitMs));
    EXPECT_TRUE(install.Starts().empty());
}

TEST(EndToEndStart, SecondInstanceIsRefusedAndEndEndsTheFirstWithoutRelaunch) {
    Installation install;
    install.PlaceStub();
    Driver first(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(first, PassEnd::Finished));
    const auto firstLog = first.Lines();

    Driver second(KivUpdateCommandLine(install.Folder()));
    const auto box = second.WaitForBox(kWindowMs);
    ASSERT_TRUE(box.has_value()) << second.Status();
    EXPECT_EQ(box->text, text::kAlreadyOpen);
    EXPECT_EQ(box->title, text::kAlreadyOpenTitle);
    EXPECT_EQ(second.WaitForWindow(0), nullptr) << "the refused instance shows no window";
    second.Answer(*box);
    EXPECT_TRUE(second.WaitForExit(kExitMs).has_value()) << second.Status();
    EXPECT_TRUE(second.WaitForDescendants(kExitMs));

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(first.Window()));
    EXPECT_EQ(first.Lines(), firstLog) << "the first instance is not disturbed";
    EXPECT_TRUE(EndedByEnd(first));
    EXPECT_TRUE(first.WaitForDescendants(kExitMs));
    EXPECT_TRUE(install.Starts().empty()) << "neither instance relaunches, nor does \"End\"";
}

}  // namespace
}  // namespace kiv::e2e
