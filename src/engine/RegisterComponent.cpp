#include "engine/RegisterComponent.h"

#include <cstdio>

#include "platform/IRuntime.h"
#include "platform/IThreads.h"
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
    Registrar() : runtime_(*Platform().runtime), threads_(*Platform().threads) {}

    bool Run(const std::string& path, const std::string& command) {
        const bool registering = command.empty();
        if (!registering && command != "u" && command != "U") {
            Say("Unknown command handle");
            return true;
        }
        // The component is loaded on the worker, so that neither its DllMain nor its entry
        // point can hold the window up for longer than the wait.
        const int pointerBefore = Attempt([&] { return runtime_.MousePointer(); });
        SetPointer(pointer::Hourglass);
        const ThreadHandle worker = Attempt([&] {
            return threads_.StartRegistration(
                path, registering ? "DllRegisterServer" : "DllUnregisterServer");
        });
        if (worker == 0) {
            return NoWorker();
        }
        if (!Ended(worker)) {
            SetPointer(pointer::Default);
            Say("Process failed in signaled state or time-out.");
            // The worker may still run the library's code: it is not stopped. An
            // unregistration still running would undo the registration that follows it, so
            // it is waited for once more, as long again, once the box has been answered.
            bool ended = false;
            if (!registering) {
                SetPointer(pointer::Hourglass);
                ended = Ended(worker);
                SetPointer(pointer::Default);
            }
            Skip([&] { threads_.Close(worker); });
            return ended;
        }
        const Registered outcome = Attempt([&] { return threads_.Outcome(worker); });
        Skip([&] { threads_.Close(worker); });
        switch (outcome.kind) {
            case Registered::Kind::NotLoaded:
                SetPointer(pointerBefore);
                Say("Failure loading control DLL");
                break;
            case Registered::Kind::NoEntryPoint:
                return NoWorker();
            case Registered::Kind::Returned:
                SetPointer(pointer::Default);
                // A component that was never registered may well fail to unregister; one
                // that fails to register leaves the main application broken far from here.
                if (registering && outcome.result < 0) {
                    Say(RegistrationFailedText(path, static_cast<uint32_t>(outcome.result)));
                }
                break;
        }
        return true;
    }

private:
    bool Ended(ThreadHandle worker) {
        return Attempt([&] { return threads_.Wait(worker, kWaitLimitMs); }, WaitResult::Failed) ==
               WaitResult::Ended;
    }

    bool NoWorker() {
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
    IThreads& threads_;
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
