#pragma once

#include <string>

namespace kiv {

// Runs a component's own DllRegisterServer (command "") or DllUnregisterServer ("u" or
// "U") on a worker thread, waiting at most ten seconds. Reports its failures in boxes
// of its own and never raises an error to its caller.
void RegisterComponent(std::string path, const std::string& command);

}  // namespace kiv
