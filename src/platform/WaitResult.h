#pragma once

namespace kiv {

// How a wait on something the program started (a process, a copy) ended.
enum class WaitResult { Ended, TimedOut, Failed };

}  // namespace kiv
