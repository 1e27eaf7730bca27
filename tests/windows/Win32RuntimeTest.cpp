#include <gtest/gtest.h>

#include <string>

#include "platform/RuntimeError.h"
#include "platform/win32/CommandLine_win.h"
#include "platform/win32/Runtime_win.h"

namespace kiv {
namespace {

TEST(ArgumentTextTest, SkipsTheProgramNameAndTheBlanksAfterIt) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* argumentText;
    } cases[] = {
        {L"", L""},
        {L"kivupdate.exe", L""},
        {L"kivupdate.exe   \t ", L""},
        {L"\"C:\\Program Files\\Kiv\\kivupdate.exe\"", L""},
        {L"\"C:\\Program Files\\Kiv\\kivupdate.exe\"D:\\Apps", L"D:\\Apps"},
        {L"\"C:\\Program Files\\Kiv\\kivupdate.exe\" D:\\Apps\\Prod\\", L"D:\\Apps\\Prod\\"},
        {L"C:\\Kiv\\kivupdate.exe D:\\Apps\\Prod", L"D:\\Apps\\Prod"},
        {L"C:\\Kiv\\kivupdate.exe \t  D:\\Apps\\Prod  \t ", L"D:\\Apps\\Prod  \t "},
        {L"kivupdate.exe \"D:\\My Apps\\Prod\"  ", L"\"D:\\My Apps\\Prod\"  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentTextOf(c.commandLine), c.argumentText)
            << testing::PrintToString(std::wstring(c.commandLine));
    }
}

TEST(Win32RuntimeTest, SecondGuardFindsTheFirst) {
    Win32Runtime first;
    Win32Runtime second;
    EXPECT_FALSE(first.AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_FALSE(first.AnotherInstanceRunning());
}

TEST(Win32RuntimeTest, StartingAMissingProgramIsFileNotFound) {
    Win32Runtime runtime;
    const char* lines[] = {
        "\"C:\\windows\\no-such-program.exe\" x",
        "\"C:\\no-such-folder\\kivapp1.exe\"",
        // A folder given in quotes keeps them: the quotes then name no program at all.
        "\"\"C:\\My Apps\"\\kivapp1.exe\"\"C:\\My Apps\"",
    };
    for (const char* line : lines) {
        try {
            runtime.Start(line, 2);
            ADD_FAILURE() << line;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), 53) << line;
        }
    }
}

TEST(Win32RuntimeTest, PointerIsRemembered) {
    Win32Runtime runtime;
    EXPECT_EQ(runtime.MousePointer(), 0);
    runtime.SetMousePointer(11);
    EXPECT_EQ(runtime.MousePointer(), 11);
    EXPECT_NE(CursorOfPointer(11), nullptr);
    runtime.SetMousePointer(0);
    EXPECT_EQ(CursorOfPointer(runtime.MousePointer()), nullptr);
}

}  // namespace
}  // namespace kiv
