#include "platform/win32/Processes_win.h"

#include <windows.h>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/Threads_win.h"

namespace kiv {

ProcessHandle Win32Processes::Start(const std::string& commandLine, int showState) {
    std::wstring mutableLine = ToWide(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw LastError();
    }
    ScopedKernelHandle thread(process.hThread);
    return reinterpret_cast<ProcessHandle>(process.hProcess);
}

WaitResult Win32Processes::Wait(ProcessHandle process, uint32_t milliseconds) {
    return WaitOnHandle(process, milliseconds);
}

void Win32Processes::Close(ProcessHandle process) {
    CloseHandle(reinterpret_cast<HANDLE>(process));
}

}  // namespace kiv
