#pragma once

#include "platform/IProcesses.h"

namespace kiv {

class Win32Processes final : public IProcesses {
public:
    ProcessHandle Start(const std::string& commandLine, int showState) override;
    WaitResult Wait(ProcessHandle process, uint32_t milliseconds) override;
    uint32_t ExitCode(ProcessHandle process) override;
    void Close(ProcessHandle process) override;
};

}  // namespace kiv
