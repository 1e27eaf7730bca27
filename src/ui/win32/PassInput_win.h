#pragma once

#include <string>

#include "platform/win32/Windows_win.h"
#include "ui/PassRequests.h"

namespace kiv {

// The pass's input rules, kept by the window's thread. While the pass runs, nothing the user
// types, clicks, touches or points at reaches the update window: the window's loop hands each
// input message here first, and a close or "End" among them, or sent or posted by another
// program, is a request held until the pass is over. Windows is told the session must not
// end meanwhile.
class PassInput {
public:
    PassInput(HWND window, HWND endButton);

    void BeginPass(const std::wstring& sessionEndReason);
    // The request to carry out now that the pass is over, if any.
    Request EndPass();
    bool PassRunning() const { return requests_.PassRunning(); }
    bool MaySessionEnd() const { return requests_.MaySessionEnd(); }

    // A request made by the message being handled: the request to carry out now.
    Request Arrive(Request request);
    // A message the window's loop took: true when it is input during the pass, which is
    // counted as a request if it makes one and goes no further.
    bool Take(const MSG& message);
    // Takes every input message still queued, counted as requests or not; does nothing
    // outside the pass.
    void TakeQueued(bool requestsCount);

private:
    Request RequestOf(const MSG& input);

    HWND window_;
    HWND endButton_;
    PassRequests requests_;
    bool pressedOnEnd_ = false;
};

}  // namespace kiv
