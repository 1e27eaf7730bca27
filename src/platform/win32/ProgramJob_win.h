#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// CreateProcessW for a process that ends with the program, however the program ends: it is
// started suspended, put into the program's job, which ends every process in it when the
// program ends, and only then let run, so nothing it starts can escape the job. False, with
// the error left for GetLastError, when it could not be created.
bool CreateInProgramJob(const wchar_t* image, wchar_t* commandLine, bool inheritHandles,
                        STARTUPINFOW& startup, PROCESS_INFORMATION& process);

// Waits for a start under way and lets no other begin: the program ends next. A process
// caught between its creation and its job would stay suspended for good, outside the job,
// with nothing left to end it; the wait is for the span of one CreateProcess at most.
void BarStartsInProgramJob();

}  // namespace kiv
