#include "engine/Registration.h"

#include "engine/RegisterComponent.h"
#include "engine/Text.h"
#include "messages/MessageCodes.h"
#include "platform/IProcesses.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv {

namespace {

constexpr uint32_t kRegsvr32WaitMs = 10000;

// The target goes in quotes: the default installation folder has a blank in its name,
// and regsvr32 would take an unquoted path with one for two file names.
std::string Regsvr32(const std::string& target, const char* switches) {
    return Wow64Folder + "\\regsvr32.exe \"" + target + "\"" + switches;
}

// Starts regsvr32 and waits for it, a hung one for ten seconds at most; gives its exit
// code, or 0 when it did not end in time (its outcome is then unknown).
uint32_t RunRegsvr32(const std::string& target, const char* switches) {
    IProcesses& processes = *Platform().processes;
    const ProcessHandle process = processes.Start(Regsvr32(target, switches), show::MinimizedFocus);
    uint32_t exitCode = 0;
    if (processes.Wait(process, kRegsvr32WaitMs) == WaitResult::Ended) {
        exitCode = processes.ExitCode(process);
    }
    processes.Close(process);
    return exitCode;
}

void Unregister(const std::string& target) {
    if (Wow64Folder.empty()) {
        RegisterComponent(target, "u");
        return;
    }
    // Registering while the unregistration still runs would race it. Its outcome is not
    // looked at: a component that was never registered may fail to unregister.
    RunRegsvr32(target, " /u /s");
}

void Register(const std::string& target) {
    if (Wow64Folder.empty()) {
        RegisterComponent(target, "");
        return;
    }
    if (const uint32_t exitCode = RunRegsvr32(target, " /s")) {
        IRuntime& runtime = *Platform().runtime;
        runtime.MessageBox(RegistrationFailedText(target, exitCode), runtime.AppTitle(), mb::Ok);
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

void RegisterCopiedComponent(FrmUpdate& form, const std::string& target) {
    form.ShowStep(msg::RemovingComponent);
    Unregister(target);
    form.ShowStep(msg::RegisteringComponent);
    Register(target);
}

}  // namespace kiv
