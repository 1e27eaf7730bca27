#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

const std::string kHeading = "The following error occured during installation : ";

std::string General(const std::string& file, const std::string& action, int number,
                    const std::string& description) {
    return kHeading + "\r\rFile :  " + file + "\r\rAction :  " + action +
           "\r\rError :  " + std::to_string(number) + "\r\r" + description;
}

class ErrorReportTest : public ProgramFixture {
protected:
    void ExpectOneReport(const std::string& text) {
        ASSERT_EQ(windows().runtime.boxes.size(), 1u);
        const auto& box = windows().runtime.boxes[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.title, "Updating Software...");
        EXPECT_EQ(box.style, 16u);
        EXPECT_EQ(box.text.find('\n'), std::string::npos);
        EXPECT_EQ(LastErrorText, text);
        EXPECT_EQ(form->Caption(label::File), " ...");
        EXPECT_EQ(form->Caption(label::Step), " ...");
        EXPECT_EQ(windows().runtime.pointer, 0);
        // The pointer is back before the box shows.
        const auto& trace = windows().trace;
        const auto boxAt = std::find(trace.begin(), trace.end(), "box Updating Software...");
        EXPECT_EQ(*(boxAt - 1), "pointer 0");
    }
};

struct Injected {
    const char* operation;
    int onCall;
    int32_t number;
    bool windows64;
    const char* file;
    const char* action;
    int32_t progressAfter;
};

// A failure at every step of the pass ends it through one report with the file and step
// at hand, and leaves the indicator where it stood.
TEST_F(ErrorReportTest, FailuresAtEveryStepOfThePass) {
    const Injected cases[] = {
        {"list", 1, 76, false, "...", "...", 0},
        {"exists", 1, 53, false, " a.dll", "Copy file to destination folder", 0},
        {"exists", 1, 5, true, " a.dll", "Verify file exist...", 0},
        {"time", 1, 53, false, " a.dll", "Copy file to destination folder", 0},
        {"copy", 2, 61, false, " b.dep", " Determine File $\\Path...", 10},
        {"progress", 4, 6, false, " b.dep", " Determine File $\\Path...", 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.number));
        Reset();
        if (c.windows64) {
            Make64Bit();
        }
        Installed("C:\\WINDOWS\\system32\\a.dll", kOld);
        Stage("a.dll");
        Stage("b.dep");
        Stage("c.dep");
        auto& faults =
            c.operation == std::string("progress") ? windows().view.faults : windows().files.faults;
        faults.Inject(c.operation, c.number, c.onCall);
        RunPass();
        ExpectOneReport(General(c.file, c.action, c.number, StandardDescription(c.number)));
        EXPECT_EQ(LastErrorNumber, c.number);
        EXPECT_EQ(windows().view.value, c.progressAfter);
        EXPECT_EQ(Content("C:\\WINDOWS\\system32\\c.dep"), "<missing>");  // never reached
    }
}

TEST_F(ErrorReportTest, PermissionDeniedHasItsOwnWording) {
    Installed("C:\\Kiv\\Library\\kivcorelib.dll", kOld);
    windows().files.entries[fake::Fold("C:\\Kiv\\Library\\kivcorelib.dll")].inUse = true;
    Stage("kivcorelib.dll");
    RunPass();
    ExpectOneReport(
        "File :   kivcorelib.dll\rError :  70 - Permission denied\r\r"
        "The update cannot be completed, because the application is locked by another user ! "
        "Make sure to close all Kiv software applications and try again.\r\r"
        "Close all Kiv software applications and try again....");
    EXPECT_EQ(Content("C:\\Kiv\\Library\\kivcorelib.dll"), "old");
}

TEST_F(ErrorReportTest, MissingFoldersUseTheGeneralWording) {
    windows().files.entries.erase(fake::Fold("C:\\Kiv\\Library"));
    Stage("kivcorelib.dll");
    RunPass();
    ExpectOneReport(
        General(" kivcorelib.dll", "Copy file to destination folder", 76, "Path not found"));

    Reset();
    windows().files.entries.erase(fake::Fold("C:\\Kiv\\support"));
    RunPass();
    ExpectOneReport(General("...", "...", 76, "Path not found"));
    EXPECT_EQ(windows().view.log, (std::vector<std::string>{"...", "...", " ...", " ..."}));
}

TEST_F(ErrorReportTest, AFileSystemThatCannotBeCreatedEndsTheProgram) {
    windows().files.faults.Inject("create", 429);
    Stage("a.dep");
    try {
        RunPass();
        FAIL() << "the program went on";
    } catch (const fake::ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, 3);
    }
    ASSERT_EQ(windows().runtime.boxes.size(), 1u);
    EXPECT_EQ(windows().runtime.boxes[0].text,
              "Run-time error '429':\r\n\r\nActiveX component can't create object");
    EXPECT_EQ(windows().view.log, (std::vector<std::string>{"...", "..."}));
}

}  // namespace
}  // namespace kiv::testing
