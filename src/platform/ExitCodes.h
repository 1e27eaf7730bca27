#pragma once

// Exit codes of the process, for the main application and for scripts that start it.
namespace kiv::exitcode {
constexpr int Relaunched = 0;      // window closed, main application started again
constexpr int Ended = 0;           // "End" pressed: nothing relaunched, nothing wrong
constexpr int AlreadyRunning = 1;  // another copy runs; this one did nothing
constexpr int UnhandledError = 3;  // the standard error report was shown
}  // namespace kiv::exitcode
