#pragma once

namespace kiv {

// When this start of the program was made to run a component's registration code, runs it
// and ends the process, having told the program how far it got; returns at once otherwise.
// It takes no single-instance guard, shows no window of its own and reads no argument.
void ServeRegistrationIfAsked();

}  // namespace kiv
