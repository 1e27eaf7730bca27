#pragma once

#include <cstdint>
#include <string>

namespace kiv {

// Runs a component's own DllRegisterServer (command "") or DllUnregisterServer ("u" or
// "U") on a worker thread, waiting at most ten seconds. Reports its failures in boxes
// of its own, a failed registration among them, and never raises an error to its caller.
void RegisterComponent(std::string path, const std::string& command);

// The box for a component whose registration reported failure (an HRESULT, or the exit
// code of regsvr32), e.g. "Registration failed: C:\Windows\system32\Grid.ocx (0x80004005)".
std::string RegistrationFailedText(const std::string& target, uint32_t code);

}  // namespace kiv
