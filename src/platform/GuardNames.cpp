#include "platform/IGuardNames.h"

namespace kiv {

bool AnotherCopyHoldsTheGuard(IGuardNames& names) {
    const Claim administrators = names.ClaimAdministratorsName();
    if (administrators != Claim::NotMade) {
        return administrators == Claim::HeldElsewhere;
    }
    return names.ClaimOpenName() == Claim::HeldElsewhere;
}

}  // namespace kiv
