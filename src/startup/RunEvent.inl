#pragma once

#include <exception>

#include "platform/RuntimeError.h"

namespace kiv {

// A failure of the C++ runtime as the program's error: memory exhaustion is 7, and
// anything else unforeseen is reported rather than lost.
RuntimeError AsRuntimeError(const std::exception& failure);

template <typename Handler>
void RunEvent(Handler handler) {
    try {
        handler();
    } catch (const RuntimeError& error) {
        ReportUnhandledError(error);
    } catch (const std::exception& failure) {
        ReportUnhandledError(AsRuntimeError(failure));
    }
}

}  // namespace kiv
