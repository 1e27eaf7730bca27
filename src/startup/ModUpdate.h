#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kiv {

struct IFileSystem;
class FrmUpdate;

// Globals of the program; they live for the whole process.
extern std::string BlankLines;     // two carriage returns between paragraphs
extern std::string InstallFolder;  // the product's installation folder, set once
extern std::string CurrentTarget;  // destination of the file at hand
extern std::string Wow64Folder;    // the 32-bit system folder on 64-bit Windows, or empty
extern std::shared_ptr<IFileSystem> FileSystem;
extern int32_t LastErrorNumber;
extern std::string LastErrorDescription;
extern std::string LastErrorText;

// The program's own code starts here; returns the process's exit code when the window
// was closed and the main application relaunched.
int Main();
// Main under the standard report of an unhandled error: what WinMain runs.
int RunMain();
void ResolveInstallFolder();

// The one update window, created the first time it is used.
FrmUpdate& UpdateForm();
// Forgets the update window, so that a host test starts the program afresh.
void DiscardUpdateForm();

// The standard report of an error nobody handled: a box with its number and
// description, then the end of the process.
[[noreturn]] void ReportUnhandledError(const class RuntimeError& error);

// Runs an event handler; an error escaping it ends the program through the standard
// report, as the runtime would.
template <typename Handler>
void RunEvent(Handler handler);

}  // namespace kiv

#include "startup/RunEvent.inl"
