#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// A worker thread given up on while it still runs: its handle stays open, so that the end
// of the process can ask whether it still runs.
void KeepAbandonedWorker(HANDLE worker);

// Ends the process; at once, without the libraries' detach notifications, when a worker
// given up on still runs.
[[noreturn]] void EndProcess(int exitCode);

}  // namespace kiv
