#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// Puts a process started suspended into the program's job, which ends every process in it
// when the program ends, however it ends, and then lets it run: nothing it starts can
// escape the job.
void RunInProgramJob(const PROCESS_INFORMATION& process);

}  // namespace kiv
