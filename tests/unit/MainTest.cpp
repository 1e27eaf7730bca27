#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

class MainTest : public ProgramFixture {
protected:
    // Runs Main; returns its exit code, or the code the program ended with.
    int RunMain(const std::string& argumentText) {
        windows().runtime.argumentText = argumentText;
        try {
            return kiv::RunMain();
        } catch (const fake::ProgramEnded& ended) {
            return ended.exitCode;
        }
    }
};

struct Relaunch {
    const char* argumentText;
    const char* installFolder;
    const char* commandLine;
};

TEST_F(MainTest, ClosingTheWindowRelaunchesWithTheArgumentTextUntrimmed) {
    const Relaunch cases[] = {
        {"", "C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik",
         "\"C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik\\kivapp1.exe\""},
        {"   ", "C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik",
         "\"C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik\\kivapp1.exe\"   "},
        {"D:\\Apps\\Prod", "D:\\Apps\\Prod", "\"D:\\Apps\\Prod\\kivapp1.exe\"D:\\Apps\\Prod"},
        {"D:\\Apps\\Prod\\", "D:\\Apps\\Prod\\",
         "\"D:\\Apps\\Prod\\\\kivapp1.exe\"D:\\Apps\\Prod\\"},
        {"D:\\Apps\\Prod  ", "D:\\Apps\\Prod", "\"D:\\Apps\\Prod\\kivapp1.exe\"D:\\Apps\\Prod  "},
        {"\"D:\\My Apps\"", "\"D:\\My Apps\"", "\"\"D:\\My Apps\"\\kivapp1.exe\"\"D:\\My Apps\""},
        {"D:\\Apps\t", "D:\\Apps\t", "\"D:\\Apps\t\\kivapp1.exe\"D:\\Apps\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argumentText);
        Reset();
        EXPECT_EQ(RunMain(c.argumentText), 0);
        EXPECT_EQ(InstallFolder, c.installFolder);
        ASSERT_EQ(windows().runtime.started.size(), 1u);
        EXPECT_EQ(windows().runtime.started[0].commandLine, c.commandLine);
        EXPECT_EQ(windows().runtime.started[0].showState, 2);
        EXPECT_EQ(windows().view.shown, 1);
        EXPECT_EQ(MessageBase, 20000);
        EXPECT_EQ(BlankLines, "\r\r");
    }
}

TEST_F(MainTest, MessagesAreProcessedBetweenTheWindowAndTheRelaunch) {
    RunMain("D:\\P");
    const auto& trace = windows().trace;
    ASSERT_GE(trace.size(), 1u);
    EXPECT_EQ(trace.back(), "start \"D:\\P\\kivapp1.exe\"D:\\P");
    EXPECT_EQ(windows().runtime.doEvents, 2);  // once on activation, once after the window
}

TEST_F(MainTest, WithoutAnApplicationDataFolderTheRootOfTheDriveIsUsed) {
    windows().modules.modules.clear();
    windows().shell.folders.clear();
    RunMain("");
    EXPECT_EQ(InstallFolder, "\\Kiv Aldervik");
}

TEST_F(MainTest, ASecondInstanceBeepsSaysSoAndDoesNothingElse) {
    windows().runtime.anotherInstance = true;
    EXPECT_EQ(RunMain("D:\\P"), 1);
    EXPECT_EQ(windows().trace.front(), "beep");
    ASSERT_EQ(windows().runtime.boxes.size(), 1u);
    EXPECT_EQ(windows().runtime.boxes[0].text, "''kivALDERVIK '' is already open !");
    EXPECT_EQ(windows().runtime.boxes[0].title, "Kiv Software");
    EXPECT_EQ(windows().runtime.boxes[0].style, 16u);
    EXPECT_EQ(windows().view.shown, 0);
    EXPECT_TRUE(windows().runtime.started.empty());
}

TEST_F(MainTest, EndEndsWithoutRelaunching) {
    windows().view.closing = fake::View::Closing::EndButton;
    EXPECT_EQ(RunMain("D:\\P"), 0);
    EXPECT_TRUE(windows().runtime.started.empty());
    EXPECT_EQ(windows().trace.back(), "end 0");
}

TEST_F(MainTest, AFailedPassStillRelaunches) {
    RunMain("D:\\Missing");
    ASSERT_EQ(windows().runtime.boxes.size(), 1u);
    EXPECT_EQ(windows().runtime.started.size(), 1u);
}

TEST_F(MainTest, AMissingMainApplicationIsAnUnhandledError) {
    windows().runtime.startError = 53;
    EXPECT_EQ(RunMain("C:\\Kiv"), 3);
    ASSERT_EQ(windows().runtime.boxes.size(), 1u);
    EXPECT_EQ(windows().runtime.boxes[0].text, "Run-time error '53':\r\n\r\nFile not found");
    EXPECT_EQ(windows().runtime.boxes[0].style, 16u);
}

}  // namespace
}  // namespace kiv::testing
