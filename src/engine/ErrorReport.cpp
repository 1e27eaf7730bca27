#include "messages/LoadMessage.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv {

namespace {

constexpr int32_t kErrorHeading = 1018;
constexpr int32_t kFileCaption = 1019;
constexpr int32_t kActionCaption = 1020;
constexpr int32_t kLockedExplanation = 1081;
constexpr int32_t kLockedAdvice = 1083;

}  // namespace

// The pass's one error handler: one box, the labels reset, the pass left. Nothing the
// pass did before is undone, and the progress indicator stays where it was.
void FrmUpdate::ReportInstallationError(const RuntimeError& error) {
    LastErrorNumber = error.Number();
    LastErrorDescription = error.Description();

    if (LastErrorNumber == err::PermissionDenied) {
        LastErrorText = LoadMessage(kFileCaption) + Caption(label::File) + "\r" + "Error :  70 - " +
                        LastErrorDescription + BlankLines + LoadMessage(kLockedExplanation) +
                        BlankLines + LoadMessage(kLockedAdvice);
    } else {
        LastErrorText = LoadMessage(kErrorHeading) + BlankLines + LoadMessage(kFileCaption) +
                        Caption(label::File) + BlankLines + LoadMessage(kActionCaption) +
                        Caption(label::Step) + BlankLines +
                        "Error :  " + std::to_string(LastErrorNumber) + BlankLines +
                        LastErrorDescription;
    }

    IRuntime& runtime = *Platform().runtime;
    runtime.SetMousePointer(pointer::Default);
    runtime.MessageBox(LastErrorText, Caption(label::Heading), mb::Critical);
    SetCaption(label::File, " ...");
    SetCaption(label::Step, " ...");
}

}  // namespace kiv
