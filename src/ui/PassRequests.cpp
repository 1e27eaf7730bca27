#include "ui/PassRequests.h"

namespace kiv {

void PassRequests::BeginPass() {
    running_ = true;
    held_ = Request::None;
}

Request PassRequests::Arrive(Request request, uint32_t madeAt) {
    if (!running_) {
        return request;
    }
    // Requests reach the window out of order: input waits in the queue until the pass
    // next looks at it, a sent message is taken at once. Their times say which came first;
    // the tick count wraps after 49 days, so times are compared by their difference.
    const bool earlier = static_cast<int32_t>(madeAt - heldAt_) < 0;
    if (request != Request::None && (held_ == Request::None || earlier)) {
        held_ = request;
        heldAt_ = madeAt;
    }
    return Request::None;
}

Request PassRequests::EndPass() {
    running_ = false;
    const Request held = held_;
    held_ = Request::None;
    return held;
}

}  // namespace kiv
