#pragma once

#include <string>

namespace kiv {

class FileList;
struct IPassDisplay;
struct PassState;

// The Windows system directory, read with a 255-character buffer; empty when it cannot
// be read or does not fit.
std::string GetSystemFolder();

// Copies every staged file of the list that is missing or older where its kind belongs and
// registers the components copied; a failure ends the pass with one report. Runs under the
// hourglass.
void RunUpdatePass(PassState& state, IPassDisplay& display, FileList& staged);

}  // namespace kiv
