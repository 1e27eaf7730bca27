#include "engine/Registration.h"

#include "engine/RegisterComponent.h"
#include "engine/Text.h"
#include "messages/LoadMessage.h"
#include "platform/IProcesses.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv {

namespace {

constexpr int32_t kRemovingComponent = 1012;
constexpr int32_t kRegisteringComponent = 1016;
constexpr uint32_t kUnregisterWaitMs = 10000;

void ShowStep(FrmUpdate& form, int32_t message) {
    form.SetCaption(label::Step, LoadMessage(message));
    form.RefreshLabel(label::Step);
}

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
    ShowStep(form, kRemovingComponent);
    Unregister(target);
    ShowStep(form, kRegisteringComponent);
    Register(target);
}

}  // namespace kiv
