#pragma once

#include <cstdint>
#include <string>

namespace kiv {

using ThreadHandle = std::uintptr_t;

enum class WaitResult { Ended, TimedOut, Failed };

// How a registration worker ended.
struct Registered {
    enum class Kind { NotLoaded, NoEntryPoint, Returned } kind = Kind::NotLoaded;
    int32_t result = 0;  // the entry point's HRESULT, or the code of the fault it raised
};

// Worker threads that load a component and run one of its registration entry points.
// Everything the component's code does, its DllMain included, happens on the worker, so
// the caller's wait bounds it.
struct IThreads {
    virtual ~IThreads() = default;
    // Starts a worker that loads the library at path (its own folder and the system
    // folder searched for what it needs) and calls the export, an argument-less function
    // returning an HRESULT. The library stays loaded while the program runs: code it
    // started may go on running. 0 when no thread could be made.
    virtual ThreadHandle StartRegistration(const std::string& path,
                                           const std::string& exportName) = 0;
    virtual WaitResult Wait(ThreadHandle thread, uint32_t milliseconds) = 0;
    // How a worker that has ended ended.
    virtual Registered Outcome(ThreadHandle thread) = 0;
    virtual void Close(ThreadHandle thread) = 0;
};

}  // namespace kiv
