#include "platform/ErrorTrap.h"

#include <new>

#include "platform/ExitCodes.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"

namespace kiv {

RuntimeError AsRuntimeError(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return RuntimeError(err::OutOfMemory);
    }
    return RuntimeError(err::InvalidCall, failure.what());
}

void ReportUnhandledError(const RuntimeError& error) {
    IRuntime& runtime = *Platform().runtime;
    runtime.MessageBox(UnhandledErrorText(error), runtime.AppTitle(), mb::Critical);
    runtime.End(exitcode::UnhandledError);
    std::terminate();  // End does not come back; this keeps the compiler sure of it
}

}  // namespace kiv
