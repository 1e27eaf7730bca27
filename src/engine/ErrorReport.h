#pragma once

namespace kiv {

struct IPassDisplay;
struct PassState;
class RuntimeError;

// The pass's one error handler: one box naming the file and the step shown, then both
// captions reset. Nothing the pass did before is undone, and the progress indicator stays
// where it was.
void ReportInstallationError(PassState& state, IPassDisplay& display, const RuntimeError& error);

}  // namespace kiv
