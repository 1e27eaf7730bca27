#pragma once

#include <cstdint>
#include <functional>

#include "platform/RuntimeError.h"

namespace kiv {

// The number of the runtime error the call raises; 0 when it raises none.
inline int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace kiv
