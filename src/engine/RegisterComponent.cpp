#include "engine/RegisterComponent.h"

#include "platform/IModules.h"
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
    Registrar()
        : modules_(*Platform().modules),
          runtime_(*Platform().runtime),
          threads_(*Platform().threads) {}

    void Run(const std::string& path, const std::string& command) {
        const ModuleHandle library = Attempt([&] { return modules_.Load(path); });
        if (library == 0) {
            Say("Failure loading control DLL");
            return;
        }
        const char* exportName = nullptr;
        if (command.empty()) {
            exportName = "DllRegisterServer";
        } else if (command == "u" || command == "U") {
            exportName = "DllUnregisterServer";
        } else {
            Say("Unknown command handle");
            Skip([&] { modules_.Free(library); });
            return;
        }

        const ProcAddress entry = Attempt([&] { return modules_.Find(library, exportName); });
        if (entry == 0) {
            return NoWorker(library);
        }
        SetPointer(pointer::Hourglass);
        const ThreadHandle worker = Attempt([&] { return threads_.StartEntryPoint(entry); });
        if (worker == 0) {
            return NoWorker(library);
        }
        const WaitResult waited =
            Attempt([&] { return threads_.Wait(worker, kWaitLimitMs); }, WaitResult::Failed);
        if (waited == WaitResult::Ended) {
            // The entry point's result is not examined: a component reporting failure
            // passes silently, as regsvr32 /s would.
            Skip([&] { threads_.Close(worker); });
            Skip([&] { modules_.Free(library); });
            SetPointer(pointer::Default);
            return;
        }
        SetPointer(pointer::Default);
        Say("Process failed in signaled state or time-out.");
        // The worker may still be running the library's code: it is neither stopped nor
        // unloaded under it. The library stays loaded for the life of the process.
        Skip([&] { threads_.Close(worker); });
    }

private:
    void NoWorker(ModuleHandle library) {
        SetPointer(pointer::Default);
        Say("Process failed in obtaining entry point or creating thread.");
        Skip([&] { modules_.Free(library); });
    }

    void SetPointer(int value) {
        Skip([&] { runtime_.SetMousePointer(value); });
    }

    void Say(const std::string& text) {
        Skip([&] { runtime_.MessageBox(text, runtime_.AppTitle(), mb::Ok); });
    }

    IModules& modules_;
    IRuntime& runtime_;
    IThreads& threads_;
};

}  // namespace

void RegisterComponent(std::string path, const std::string& command) {
    Skip([&] { Registrar().Run(path, command); });
}

}  // namespace kiv
