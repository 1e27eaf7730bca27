#pragma once

#include "platform/IThreads.h"

namespace kiv {

class Win32Threads final : public IThreads {
public:
    ThreadHandle StartEntryPoint(ProcAddress entry) override;
    WaitResult Wait(ThreadHandle thread, uint32_t milliseconds) override;
    void Close(ThreadHandle thread) override;
};

// Waits on any waitable kernel handle, as both threads and processes are.
WaitResult WaitOnHandle(std::uintptr_t handle, uint32_t milliseconds);

}  // namespace kiv
