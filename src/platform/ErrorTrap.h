#pragma once

#include <exception>

#include "platform/RuntimeError.h"

namespace kiv {

// A failure of the C++ runtime as the program's error: memory exhaustion is 7, and
// anything else unforeseen is reported rather than lost.
RuntimeError AsRuntimeError(const std::exception& failure);

// The standard report of an error nobody handled: a box with its number and description,
// then the end of the process.
[[noreturn]] void ReportUnhandledError(const RuntimeError& error);

// Runs body; any failure reaches onError as the program's error.
template <typename Body, typename OnError>
void TrapRuntimeErrors(Body body, OnError onError) {
    try {
        body();
    } catch (const RuntimeError& error) {
        onError(error);
    } catch (const std::exception& failure) {
        onError(AsRuntimeError(failure));
    }
}

// Runs an event handler; an error escaping it ends the program through the standard
// report, as the runtime would.
template <typename Handler>
void RunEvent(Handler handler) {
    TrapRuntimeErrors(handler, [](const RuntimeError& error) { ReportUnhandledError(error); });
}

}  // namespace kiv
