#pragma once

namespace kiv {

// How an attempt to make one of the single-instance guard's names went.
enum class Claim { Made, HeldElsewhere, NotMade };

// The names the single-instance guard can be made of. A name this process makes stays held
// as long as the object lives, so that every copy started after it finds the name taken.
struct IGuardNames {
    virtual ~IGuardNames() = default;
    // A name only an elevated administrator can make: NotMade where the system cannot make
    // such a name, or where this process is not an elevated administrator.
    virtual Claim ClaimAdministratorsName() = 0;
    // A name any process of any user can make, also before the program starts.
    virtual Claim ClaimOpenName() = 0;
};

// Whether another copy of the program holds the guard. Whoever takes the open name first
// keeps every update out, so it only counts where the administrators' name cannot be made
// at all; and a guard that cannot be made either way does not keep the update from running.
bool AnotherCopyHoldsTheGuard(IGuardNames& names);

}  // namespace kiv
