#pragma once

#include <map>
#include <memory>

#include "platform/IThreads.h"

namespace kiv {

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

// Ends the process; at once, without the libraries' detach notifications, when a worker
// given up on still runs.
[[noreturn]] void EndProcess(int exitCode);

// Waits on any waitable kernel handle, as both threads and processes are. The thread
// keeps answering messages other programs send to its windows while it waits (so that
// Windows never takes it for hung), but handles no input and runs no posted message.
WaitResult WaitOnHandle(std::uintptr_t handle, uint32_t milliseconds);

// What the interface thread does before it blocks for longer than a display frame (a
// wait, a message box, a round of events): the update window paints the changes it
// holds back. One hook for the process; SetBeforeBlocking(nullptr, nullptr) removes it.
using BeforeBlockingHook = void (*)(void* context);
void SetBeforeBlocking(BeforeBlockingHook hook, void* context);
void BeforeBlocking();

// Lets the calling thread answer the messages other threads and programs have sent to
// its windows, without taking any posted message or input from its queue.
void AnswerSentMessages();

}  // namespace kiv
