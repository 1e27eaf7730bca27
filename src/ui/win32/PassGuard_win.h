#pragma once

#include <string>

#include "platform/win32/Windows_win.h"
#include "ui/PassRequests.h"

namespace kiv {

// Everything that keeps the pass whole, in one place. While it runs, nothing the user
// types or clicks reaches the update window: every loop takes the queued input away first,
// and a close or "End" among it, or sent or posted by another program, is a request held
// until the pass is over. Windows is told the session must not end meanwhile.
class PassGuard {
public:
    PassGuard(HWND window, HWND endButton);

    void BeginPass(const std::wstring& sessionEndReason);
    // The request to carry out now that the pass is over, if any.
    Request EndPass();
    bool PassRunning() const { return requests_.PassRunning(); }
    bool MaySessionEnd() const { return requests_.MaySessionEnd(); }

    // A request made by the message being handled: the request to carry out now.
    Request Arrive(Request request);
    // Takes every keyboard and mouse message off the thread's queue, as requests or not;
    // does nothing outside the pass.
    bool TakeQueuedInput(bool requestsCount);

private:
    Request RequestOf(const MSG& input);

    HWND window_;
    HWND endButton_;
    PassRequests requests_;
    bool pressedOnEnd_ = false;
};

}  // namespace kiv
