#pragma once

#include <cstdint>

#include "platform/IModules.h"

namespace kiv {

using ThreadHandle = std::uintptr_t;

enum class WaitResult { Ended, TimedOut, Failed };

// Worker threads that run a component's registration entry point.
struct IThreads {
    virtual ~IThreads() = default;
    // Starts a thread that calls entry, an argument-less function returning an HRESULT,
    // and ends with that result as its exit code. 0 when no thread could be made.
    virtual ThreadHandle StartEntryPoint(ProcAddress entry) = 0;
    virtual WaitResult Wait(ThreadHandle thread, uint32_t milliseconds) = 0;
    virtual void Close(ThreadHandle thread) = 0;
};

}  // namespace kiv
