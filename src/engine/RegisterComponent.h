#pragma once

#include <cstdint>
#include <string>

namespace kiv {

// Runs a component's own DllRegisterServer (command "") or DllUnregisterServer ("u" or
// "U") away from the program, waiting at most ten seconds; an unregistration not done by
// then is waited for ten seconds more after the time-out box. Reports its failures in boxes
// of its own, a failed registration among them, and never raises an error to its caller.
// False when the unregistration still ran after its waits (it is then cut off).
bool RegisterComponent(std::string path, const std::string& command);

// What a registration that could not be waited for reports:
// HRESULT_FROM_WIN32(ERROR_TIMEOUT).
constexpr uint32_t kRegistrationTimedOut = 0x800705B4;

// The box for a component whose registration reported failure (an HRESULT, or the exit
// code of regsvr32), e.g. "Registration failed: C:\Windows\system32\Grid.ocx (0x80004005)".
std::string RegistrationFailedText(const std::string& target, uint32_t code);

}  // namespace kiv
