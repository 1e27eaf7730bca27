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
    bool defaultFolder;  // the installation lives in the default folder
    // The argument text and the InstallFolder it must give, from the installation's folder.
    std::wstring (*argument)(const std::wstring& folder);
    std::wstring (*installFolder)(const std::wstring& folder);
    // How the program is started with that argument text; null for the quoted path and
    // one blank.
    std::wstring (*commandLine)(const std::wstring& argument) = nullptr;
};

void PrintTo(const RelaunchCase& relaunch, std::ostream* out) {
    *out << relaunch.name;
}

const RelaunchCase kRelaunches[] = {
    {"EmptyArgument", true, [](const std::wstring&) { return std::wstring(); },
     [](const std::wstring& folder) { return folder; }},
    {"Folder", false, [](const std::wstring& folder) { return folder; },
     [](const std::wstring& folder) { return folder; }},
    {"TrailingBackslash", false, [](const std::wstring& folder) { return folder + L"\\"; },
     [](const std::wstring& folder) { return folder + L"\\"; }},
    {"TrailingBlanks", false, [](const std::wstring& folder) { return folder + L"   "; },
     [](const std::wstring& folder) { return folder; }},
    {"SeveralSeparatingBlanks", false, [](const std::wstring& folder) { return folder; },
     [](const std::wstring& folder) { return folder; },
     [](const std::wstring& argument) { return L"\"" + KivUpdatePath() + L"\"    " + argument; }},
    {"UnquotedProgramName", false, [](const std::wstring& folder) { return folder; },
     [](const std::wstring& folder) { return folder; },
     [](const std::wstring& argument) { return KivUpdatePath() + L" " + argument; }},
};

class EndToEndRelaunch : public ::testing::TestWithParam<RelaunchCase> {};

TEST_P(EndToEndRelaunch, CloseRelaunchesWithTheExactCommandLine) {
    const RelaunchCase& relaunch = GetParam();
    std::optional<Installation> install;
    if (relaunch.defaultFolder) {
        const std::wstring folder = DefaultInstallFolder();
        ASSERT_FALSE(folder.empty()) << "no application-data folder";
        install.emplace(folder);
    } else {
        install.emplace();
    }
    install->PlaceStub();
    const std::wstring argument = relaunch.argument(install->Folder());
    const std::wstring folder = relaunch.installFolder(install->Folder());

    if (relaunch.commandLine && KivUpdatePath().find(L' ') != std::wstring::npos) {
        GTEST_SKIP() << "the program's path holds a blank, so it cannot go unquoted";
    }
    Driver driver(relaunch.commandLine ? relaunch.commandLine(argument)
                                       : KivUpdateCommandLine(argument));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    LogModel log;
    log.Header(folder + L"\\support", 0);
    log.End();
    EXPECT_TRUE(LogIs(driver, log.Lines())) << "the pass works on the settled folder";

    ASSERT_TRUE(ClosedAndRelaunchDone(driver));
    const auto starts = install->Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, Utf8(L"\"" + folder + L"\\kivapp1.exe\"" + argument));
    EXPECT_TRUE(starts[0].useShowWindow);
    EXPECT_EQ(starts[0].showWindow, SW_SHOWMINIMIZED);
}

INSTANTIATE_TEST_SUITE_P(Arguments, EndToEndRelaunch, ::testing::ValuesIn(kRelaunches),
                         [](const ::testing::TestParamInfo<RelaunchCase>& info) {
                             return std::string(info.param.name);
                         });

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

TEST(EndToEndStart, EndEndsWithoutRelaunch) {
    Installation install;
    install.PlaceStub();
    Driver driver(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    ASSERT_TRUE(EndedByEnd(driver));
    EXPECT_TRUE(driver.WaitForDescendants(kExitMs));
    EXPECT_TRUE(install.Starts().empty());
}

TEST(EndToEndStart, SecondInstanceIsRefusedWhileTheFirstRuns) {
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
    EXPECT_TRUE(install.Starts().empty()) << "neither instance relaunches";
}

}  // namespace
}  // namespace kiv::e2e
