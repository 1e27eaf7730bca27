#pragma once

#include <cstdint>
#include <string>

#include "platform/WaitResult.h"

namespace kiv {

using RegistrationHandle = std::uintptr_t;

// How a registration that has ended went.
struct Registered {
    enum class Kind {
        NotLoaded,  // the component could not be loaded
        NotRun,     // it lacks the entry point, or nothing could be started to call it
        Returned,   // code: the entry point's HRESULT
        Ended,      // the entry point never returned; code: the fault's or the exit code
    } kind = Kind::NotLoaded;
    uint32_t code = 0;
};

// Runs one registration entry point of a component, an argument-less function returning an
// HRESULT, away from the program: whatever the component's code does, its DllMain included,
// the caller's wait bounds it, and none of it stays behind in the program.
struct IRegistrations {
    virtual ~IRegistrations() = default;
    // Starts loading the library at path (its own folder and the system folder searched for
    // what it needs) and calling the export; 0 when nothing could be started.
    virtual RegistrationHandle Start(const std::string& path, const std::string& exportName) = 0;
    virtual WaitResult Wait(RegistrationHandle registration, uint32_t milliseconds) = 0;
    // How a registration that has ended went.
    virtual Registered Outcome(RegistrationHandle registration) = 0;
    // Lets go of it; one still running is cut off where it stands.
    virtual void Close(RegistrationHandle registration) = 0;
};

}  // namespace kiv
