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

constexpr uint32_t kUnregisterWaitMs = 10000;

// The target goes in quotes: the default installation folder has a blank in its name,
// and regsvr32 would take an unquoted path with one for two file names.
std::string Regsvr32(const std::string& target, const char* switches) {
    return Wow64Folder + "\\regsvr32.exe \"" + target + "\"" + switches;
}

void Unregister(const std::string& target) {
    if (Wow64Folder.empty()) {
        RegisterComponent(target, "u");
        return;
    }
    IProcesses& processes = *Platform().processes;
    const ProcessHandle process = processes.Start(Regsvr32(target, " /u /s"), show::MinimizedFocus);
    // Registering while the unregistration still runs would race it; a hung regsvr32
    // holds the pass up for ten seconds at most.
    processes.Wait(process, kUnregisterWaitMs);
    processes.Close(process);
}

void Register(const std::string& target) {
    if (Wow64Folder.empty()) {
        RegisterComponent(target, "");
        return;
    }
    IProcesses& processes = *Platform().processes;
    processes.Close(processes.Start(Regsvr32(target, " /s"), show::MinimizedFocus));
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
