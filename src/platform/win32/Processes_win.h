#pragma once

#include "platform/IProcesses.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// A plain wait for any waitable kernel object, as a process is; the pass has its own thread.
WaitResult WaitFor(HANDLE object, uint32_t milliseconds);

class Win32Processes final : public IProcesses {
public:
    // Whether what an instance starts ends with the program (the pass's regsvr32, which
    // may hang with a component loaded) or lives on (the relaunched main application).
    enum class Lifetime { Own, EndsWithProgram };
    explicit Win32Processes(Lifetime lifetime = Lifetime::Own) : lifetime_(lifetime) {}

    ProcessHandle Start(const std::string& commandLine, int showState) override;
    WaitResult Wait(ProcessHandle process, uint32_t milliseconds) override;
    uint32_t ExitCode(ProcessHandle process) override;
    void Close(ProcessHandle process) override;

private:
    Lifetime lifetime_;
};

}  // namespace kiv
