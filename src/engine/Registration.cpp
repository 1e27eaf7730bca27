#include "engine/Registration.h"

#include "engine/Text.h"
#include "messages/LoadMessage.h"
#include "ui/FrmUpdate.h"

namespace kiv {

namespace {
constexpr int32_t kRemovingComponent = 1012;
constexpr int32_t kRegisteringComponent = 1016;

void ShowStep(FrmUpdate& form, int32_t message) {
    form.SetCaption(label::Step, LoadMessage(message));
    form.RefreshLabel(label::Step);
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

void RegisterCopiedComponent(FrmUpdate& form, const std::string& /*target*/) {
    // The two steps are shown; unregistering and registering themselves come with the
    // registration routes.
    ShowStep(form, kRemovingComponent);
    ShowStep(form, kRegisteringComponent);
}

}  // namespace kiv
