#include "engine/RegisterComponent.h"

#include <cstdio>

#include "platform/IRegistrations.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"

namespace kiv {

namespace {

constexpr uint32_t kWaitLimitMs = 10000;

// A statement that fails is skipped and the routine goes on, so registration can never
// stop the pass; Attempt gives the fallback value when the call raised.
template <typename Call, typename Result = decltype(std::declval<Call>()())>
Result Attempt(Call call, Result fallback = Result()) {
    try {
        return call();
    } catch (...) {
        return fallback;
    }
}

template <typename Call>
void Skip(Call call) {
    try {
        call();
    } catch (...) {
    }
}

class Registrar {
public:
    Registrar() : runtime_(*Platform().runtime), registrations_(*Platform().registrations) {}

    bool Run(const std::string& path, const std::string& command) {
        const bool registering = command.empty();
        if (!registering && command != "u" && command != "U") {
            Say("Unknown command handle");
            return true;
        }
        // Everything the component's code does, its DllMain included, happens in the
        // registration's own process, so the wait bounds all of it.
        const int pointerBefore = Attempt([&] { return runtime_.MousePointer(); });
        SetPointer(pointer::Hourglass);
        const RegistrationHandle registration = Attempt([&] {
            return registrations_.Start(path,
                                        registering ? "DllRegisterServer" : "DllUnregisterServer");
        });
        if (registration == 0) {
            return NotRun();
        }
        if (!Ended(registration)) {
            SetPointer(pointer::Default);
            Say("Process failed in signaled state or time-out.");
            // An unregistration still running would undo the registration that follows it,
            // so it is waited for once more, as long again, once the box has been answered.
            // One given up on is cut off where it stands.
            bool ended = false;
            if (!registering) {
                SetPointer(pointer::Hourglass);
                ended = Ended(registration);
                SetPointer(pointer::Default);
            }
            Skip([&] { registrations_.Close(registration); });
            return ended;
        }
        const Registered outcome = Attempt([&] { return registrations_.Outcome(registration); });
        Skip([&] { registrations_.Close(registration); });
        switch (outcome.kind) {
            case Registered::Kind::NotLoaded:
                SetPointer(pointerBefore);
                Say("Failure loading control DLL");
                break;
            case Registered::Kind::NotRun:
                return NotRun();
            case Registered::Kind::Returned:
            case Registered::Kind::Ended:
                SetPointer(pointer::Default);
                // A component that was never registered may well fail to unregister; one
                // that fails to register leaves the main application broken far from here.
                // An entry point that never returned failed, whatever code it ended with.
                if (registering && (outcome.kind == Registered::Kind::Ended ||
                                    static_cast<int32_t>(outcome.code) < 0)) {
                    Say(RegistrationFailedText(path, outcome.code));
                }
                break;
        }
        return true;
    }

private:
    bool Ended(RegistrationHandle registration) {
        return Attempt([&] { return registrations_.Wait(registration, kWaitLimitMs); },
                       WaitResult::Failed) == WaitResult::Ended;
    }

    bool NotRun() {
        SetPointer(pointer::Default);
        Say("Process failed in obtaining entry point or creating thread.");
        return true;
    }

    void SetPointer(int value) {
        Skip([&] { runtime_.SetMousePointer(value); });
    }

    void Say(const std::string& text) {
        Skip([&] { runtime_.MessageBox(text, runtime_.AppTitle(), mb::Ok); });
    }

    IRuntime& runtime_;
    IRegistrations& registrations_;
};

}  // namespace

std::string RegistrationFailedText(const std::string& target, uint32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return "Registration failed: " + target + " (" + hex + ")";
}

bool RegisterComponent(std::string path, const std::string& command) {
    return Attempt([&] { return Registrar().Run(path, command); }, false);
}

}  // namespace kiv
