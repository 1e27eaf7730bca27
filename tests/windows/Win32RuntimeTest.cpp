#include <gtest/gtest.h>

#include <string>

#include "ErrorNumber.h"
#include "platform/win32/CommandLine_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/Threads_win.h"

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
    Win32Processes processes;
    const char* lines[] = {
        "\"C:\\windows\\no-such-program.exe\" x",
        "C:\\windows\\no-such-program.exe /s",
        "\"C:\\no-such-folder\\kivapp1.exe\"",
        // A folder given in quotes keeps them: the quotes then name no program at all.
        "\"\"C:\\My Apps\"\\kivapp1.exe\"\"C:\\My Apps\"",
    };
    for (const char* line : lines) {
        EXPECT_EQ(ErrorNumberOf([&] { runtime.Start(line, 2); }), 53) << line;
        EXPECT_EQ(ErrorNumberOf([&] { processes.Start(line, 2); }), 53) << line;
    }
}

DWORD g_workerThread = 0;

HRESULT STDAPICALLTYPE FailingEntryPoint() {
    g_workerThread = GetCurrentThreadId();
    return E_UNEXPECTED;
}

HRESULT STDAPICALLTYPE SlowEntryPoint() {
    Sleep(400);
    return S_OK;
}

TEST(Win32WorkersTest, AnEntryPointRunsOnItsOwnThreadAndItsResultIsTheExitCode) {
    Win32Threads threads;
    const ThreadHandle worker =
        threads.StartEntryPoint(reinterpret_cast<ProcAddress>(&FailingEntryPoint));
    ASSERT_NE(worker, 0u);
    EXPECT_EQ(threads.Wait(worker, 5000), WaitResult::Ended);
    DWORD exitCode = 0;
    GetExitCodeThread(reinterpret_cast<HANDLE>(worker), &exitCode);
    EXPECT_EQ(exitCode, static_cast<DWORD>(E_UNEXPECTED));
    EXPECT_NE(g_workerThread, GetCurrentThreadId());
    threads.Close(worker);
}

TEST(Win32WorkersTest, AWaitEndsAtItsLimit) {
    Win32Threads threads;
    const ThreadHandle worker =
        threads.StartEntryPoint(reinterpret_cast<ProcAddress>(&SlowEntryPoint));
    EXPECT_EQ(threads.Wait(worker, 10), WaitResult::TimedOut);
    EXPECT_EQ(threads.Wait(worker, 5000), WaitResult::Ended);
    threads.Close(worker);
    EXPECT_EQ(threads.Wait(worker, 0), WaitResult::Failed);  // a closed handle
}

}  // namespace
}  // namespace kiv
