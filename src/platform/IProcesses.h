#pragma once

#include <cstdint>
#include <string>

#include "platform/WaitResult.h"

namespace kiv {

using ProcessHandle = std::uintptr_t;

// Programs the pass starts beside itself. None outlives the program: one that still runs
// when the program ends, however it ends, is ended with it.
struct IProcesses {
    virtual ~IProcesses() = default;
    // Starts a command line with a show state and hands back the process; raises a
    // RuntimeError (53 when the program is missing) when it cannot be started.
    virtual ProcessHandle Start(const std::string& commandLine, int showState) = 0;
    virtual WaitResult Wait(ProcessHandle process, uint32_t milliseconds) = 0;
    // The exit code of a process that has ended.
    virtual uint32_t ExitCode(ProcessHandle process) = 0;
    virtual void Close(ProcessHandle process) = 0;
};

}  // namespace kiv
