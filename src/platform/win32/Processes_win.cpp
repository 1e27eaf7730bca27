#include "platform/win32/Processes_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/ProgramJob_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

// The runtime reports a program it cannot find as "File not found", whether the file or
// its folder is missing or the command line names no file at all (a folder given in
// quotes puts the quote characters inside the program's path).
RuntimeError StartError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
        case ERROR_INVALID_PARAMETER:
            return RuntimeError(err::FileNotFound, error);
        default:
            return ErrorFromWin32(error);
    }
}

}  // namespace

ProcessHandle Win32Processes::Start(const std::string& commandLine, int showState) {
    std::wstring mutableLine = ToWide(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process = {};
    const bool created =
        lifetime_ == Lifetime::EndsWithProgram
            ? CreateInProgramJob(nullptr, mutableLine.data(), false, startup, process)
            : CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process);
    if (!created) {
        throw StartError(GetLastError());
    }
    CloseHandle(process.hThread);
    return reinterpret_cast<ProcessHandle>(process.hProcess);
}

WaitResult WaitFor(HANDLE object, uint32_t milliseconds) {
    const DWORD waited = WaitForSingleObject(object, milliseconds);
    return waited == WAIT_OBJECT_0  ? WaitResult::Ended
           : waited == WAIT_TIMEOUT ? WaitResult::TimedOut
                                    : WaitResult::Failed;
}

WaitResult Win32Processes::Wait(ProcessHandle process, uint32_t milliseconds) {
    return WaitFor(reinterpret_cast<HANDLE>(process), milliseconds);
}

uint32_t Win32Processes::ExitCode(ProcessHandle process) {
    DWORD code = 0;
    GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code);
    return code;
}

void Win32Processes::Close(ProcessHandle process) {
    CloseHandle(reinterpret_cast<HANDLE>(process));
}

}  // namespace kiv
