#include "engine/Registration.h"

#include <optional>

#include "engine/IPassDisplay.h"
#include "engine/PassState.h"
#include "engine/RegisterComponent.h"
#include "engine/Text.h"
#include "messages/MessageCodes.h"
#include "platform/IProcesses.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"

namespace kiv {

namespace {

constexpr uint32_t kRegsvr32WaitMs = 10000;

// Starts regsvr32 and waits for it, a hung one for ten seconds at most; gives its exit
// code, or nothing when it did not end in time. A regsvr32 given up on runs on; the program
// ends it when it ends itself (the processes port ties it to the program).
std::optional<uint32_t> RunRegsvr32(const std::string& wow64Folder, const std::string& target,
                                    const char* switches) {
    IProcesses& processes = *Platform().processes;
    // The target goes in quotes: the default installation folder has a blank in its name,
    // and regsvr32 would take an unquoted path with one for two file names.
    const ProcessHandle process = processes.Start(
        wow64Folder + "\\regsvr32.exe \"" + target + "\"" + switches, show::MinimizedFocus);
    std::optional<uint32_t> exitCode;
    if (processes.Wait(process, kRegsvr32WaitMs) == WaitResult::Ended) {
        exitCode = processes.ExitCode(process);
    }
    processes.Close(process);
    return exitCode;
}

void ReportFailure(const std::string& target, uint32_t code) {
    IRuntime& runtime = *Platform().runtime;
    runtime.MessageBox(RegistrationFailedText(target, code), runtime.AppTitle(), mb::Ok);
}

// Whether the unregistration has ended: one still running would remove what a registration
// beside it writes. Its outcome is not looked at: a component that was never registered may
// fail to unregister.
bool Unregister(const std::string& wow64Folder, const std::string& target) {
    if (wow64Folder.empty()) {
        return RegisterComponent(target, "u");
    }
    return RunRegsvr32(wow64Folder, target, " /u /s").has_value();
}

void Register(const std::string& wow64Folder, const std::string& target) {
    if (wow64Folder.empty()) {
        RegisterComponent(target, "");
        return;
    }
    const std::optional<uint32_t> exitCode = RunRegsvr32(wow64Folder, target, " /s");
    if (!exitCode || *exitCode != 0) {
        ReportFailure(target, exitCode.value_or(kRegistrationTimedOut));
    }
}

}  // namespace

bool ShouldRegister(CopyKind copy, const std::string& target) {
    switch (copy) {
        case CopyKind::NewCopy:
            return true;
        case CopyKind::Replacement:
            return Upper(target).find("\\LIBRARY\\") == std::string::npos;
        case CopyKind::NotCopied:
            break;
    }
    return false;
}

void RegisterCopiedComponent(const PassState& state, IPassDisplay& display,
                             const std::string& target) {
    display.ShowStep(msg::RemovingComponent);
    const bool unregistered = Unregister(state.Wow64Folder, target);
    display.ShowStep(msg::RegisteringComponent);
    if (unregistered) {
        Register(state.Wow64Folder, target);
    } else {
        ReportFailure(target, kRegistrationTimedOut);
    }
}

}  // namespace kiv
