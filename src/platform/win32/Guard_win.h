#pragma once

#include "platform/IGuardNames.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

// The guard's names on Windows: a private namespace whose boundary is the Administrators
// group, and the named mutex of systems without private namespaces (wine 8).
class Win32GuardNames final : public IGuardNames {
public:
    Claim ClaimAdministratorsName() override;
    Claim ClaimOpenName() override;

private:
    ScopedKernelHandle held_;
};

}  // namespace kiv
