#include "messages/LoadMessage.h"
#include "messages/MessageCodes.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv {

// The pass's one error handler: one box, the labels reset, the pass left. Nothing the
// pass did before is undone, and the progress indicator stays where it was.
void FrmUpdate::ReportInstallationError(const RuntimeError& error) {
    LastErrorNumber = error.Number();
    LastErrorDescription = error.Description();

    if (LastErrorNumber == err::PermissionDenied) {
        LastErrorText = LoadMessage(msg::FileCaption) + Caption(label::File) + "\r" +
                        "Error :  70 - " + LastErrorDescription + BlankLines +
                        LoadMessage(msg::LockedExplanation) + BlankLines +
                        LoadMessage(msg::LockedAdvice);
    } else {
        LastErrorText = LoadMessage(msg::ErrorHeading) + BlankLines +
                        LoadMessage(msg::FileCaption) + Caption(label::File) + BlankLines +
                        LoadMessage(msg::ActionCaption) + Caption(label::Step) + BlankLines +
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
