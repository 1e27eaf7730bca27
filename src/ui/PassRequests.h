#pragma once

#include <cstdint>

namespace kiv {

// What another program or the user can ask of the update window: to close it (the main
// application is then started again) or "End" (the program ends, nothing relaunched).
enum class Request { None, Close, End };

// The pass must never be cut in half, and a request must never be lost: while the pass
// runs, every request is held, and when it is over the first one made is carried out,
// once; the rest are dropped. Outside the pass a request is carried out at once.
class PassRequests {
public:
    void BeginPass();
    // The request to carry out now, made at the tick count madeAt: itself outside the
    // pass, None during it.
    Request Arrive(Request request, uint32_t madeAt);
    // Ends the pass; gives the held request to carry out, if any.
    Request EndPass();

    bool PassRunning() const { return running_; }
    // Windows may end the session only when that cannot cut the pass in half.
    bool MaySessionEnd() const { return !running_; }

private:
    bool running_ = false;
    Request held_ = Request::None;
    uint32_t heldAt_ = 0;
};

}  // namespace kiv
