#pragma once

#include <string>

namespace kiv {

struct PassState;

// The program's own code starts here; returns the process's exit code when the window
// was closed and the main application relaunched.
int Main(PassState& state);
// Main under the standard report of an unhandled error: what WinMain runs.
int RunMain(PassState& state);
// The installation folder the argument text names, or the default one.
std::string ResolveInstallFolder();

}  // namespace kiv
