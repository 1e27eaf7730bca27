#include <gtest/gtest.h>
#include <windows.h>

#include "platform/RuntimeError.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Threads_win.h"

namespace kiv {
namespace {

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

TEST(Win32WorkersTest, AProcessThatCannotStartRaisesFileNotFound) {
    Win32Processes processes;
    try {
        processes.Start("C:\\windows\\no-such-program.exe /s", 2);
        FAIL() << "started";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 53);
    }
}

}  // namespace
}  // namespace kiv
