#include <functional>
#include <memory>

#include "EndToEnd.h"

namespace kiv::e2e {
namespace {

const FILETIME kStaged = UtcTime(2024, 2, 29, 23, 59, 58);

// What a case leaves standing while the program runs: held files, read-only marks.
using Holds = std::vector<std::shared_ptr<void>>;

struct FailureCase {
    const char* name;
    // Arranges the installation; returns why the case cannot run here, or "".
    std::function<std::string(const Installation&, Holds&)> arrange;
    std::string file;     // the file at hand when the pass fails, "" for none
    std::string wording;  // the expected box text, given the installation
};

constexpr char kLibraryDll[] = "kivcorelib.dll";

std::string LockedLibraryFile(const Installation& install, Holds& holds, bool readOnly) {
    install.MakeLibrary();
    const std::wstring name = Wide(kLibraryDll);
    install.Stage(name, Pattern("new core", 4096), kStaged);
    WriteNewFile(install.Library(name), Pattern("old core", 2048), Shifted(kStaged, -3600));
    if (!readOnly) {
        holds.push_back(HoldOpen(install.Library(name)));
        return "";
    }
    std::string unavailable;
    holds.push_back(MarkReadOnly(install.Library(name), unavailable));
    return unavailable;
}

const FailureCase kCases[] = {
    {"MissingStagingFolder",
     [](const Installation& install, Holds&) {
         install.RemoveSupport();
         return std::string();
     },
     "", GeneralWording("...", "...", 76, "Path not found")},
    {"MissingLibraryFolder",
     [](const Installation& install, Holds&) {
         install.Stage(L"kivnewlib.dll", Pattern("new", 1000), kStaged);
         return std::string();
     },
     "kivnewlib.dll", GeneralWording(" kivnewlib.dll", text::kCopy, 76, "Path not found")},
    {"DestinationInUse",
     [](const Installation& install, Holds& holds) {
         return LockedLibraryFile(install, holds, false);
     },
     kLibraryDll, LockedWording(std::string(" ") + kLibraryDll)},
    {"ReadOnlyDestination",
     [](const Installation& install, Holds& holds) {
         return LockedLibraryFile(install, holds, true);
     },
     kLibraryDll, LockedWording(std::string(" ") + kLibraryDll)},
};

class EndToEndFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(EndToEndFailure, OneBoxThenLabelsResetAndCloseStillRelaunches) {
    const FailureCase& failure = GetParam();
    Installation install;
    install.PlaceStub();
    Holds holds;
    const std::string unavailable = failure.arrange(install, holds);
    if (!unavailable.empty()) {
        GTEST_SKIP() << unavailable;
    }
    const bool libraryExisted = Exists(install.Library());
    const std::vector<std::string> libraryBefore = EntryNames(install.Library());

    Driver driver(KivUpdateCommandLine(install.Folder()));
    ASSERT_TRUE(PassEnded(driver, PassEnd::BoxShown));
    const auto box = driver.FindBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, text::kTitle);
    EXPECT_EQ(box->text, failure.wording);
    EXPECT_TRUE(box->icon) << "the critical icon";
    EXPECT_EQ(box->text.find('\n'), std::string::npos) << "carriage returns only";
    driver.Answer(*box);

    ASSERT_TRUE(PassEnded(driver, PassEnd::Finished));
    EXPECT_TRUE(
        LogIs(driver, failure.file.empty()
                          ? PassLog(L"", {})
                          : PassLog(install.Support(), {{failure.file, Kind::Component, false}})));
    EXPECT_EQ(driver.Caption(kLabel8), " ...");
    EXPECT_EQ(driver.Caption(kLabel21), " ...");
    EXPECT_EQ(driver.ProgressPosition(), 0) << "a failed pass does not fill the bar";

    ASSERT_TRUE(ClosedAndRelaunchDone(driver));
    const auto starts = install.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine,
              "\"" + Utf8(install.Folder()) + "\\kivapp1.exe\"" + Utf8(install.Folder()));

    holds.clear();
    EXPECT_EQ(Exists(install.Library()), libraryExisted) << "the pass creates no folder";
    EXPECT_EQ(EntryNames(install.Library()), libraryBefore)
        << "a failed copy leaves no temporary file";
    if (!libraryBefore.empty()) {
        EXPECT_TRUE(ReadBytes(install.Library(Wide(kLibraryDll))) == Pattern("old core", 2048))
            << "the installed file is as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEndFailure, ::testing::ValuesIn(kCases), ByName());

}  // namespace
}  // namespace kiv::e2e
