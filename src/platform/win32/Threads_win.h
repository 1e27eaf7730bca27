#pragma once

#include <map>
#include <memory>

#include "platform/IThreads.h"

namespace kiv {

// The registration workers: each calls a component's entry point on a thread of its own.
class Win32Threads final : public IThreads {
public:
    ThreadHandle StartRegistration(const std::string& path, const std::string& exportName) override;
    WaitResult Wait(ThreadHandle thread, uint32_t milliseconds) override;
    Registered Outcome(ThreadHandle thread) override;
    void Close(ThreadHandle thread) override;

    struct Work;

private:
    // What each worker reports, shared with the worker, which may outlive its handle.
    std::map<ThreadHandle, std::shared_ptr<Work>> work_;
};

}  // namespace kiv
