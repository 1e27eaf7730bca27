#include "engine/ErrorReport.h"

#include "engine/IPassDisplay.h"
#include "messages/LoadMessage.h"
#include "messages/MessageCodes.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "startup/ModUpdate.h"

namespace kiv {

void ReportInstallationError(IPassDisplay& display, const RuntimeError& error) {
    LastErrorNumber = error.Number();
    LastErrorDescription = error.Description();

    if (LastErrorNumber == err::PermissionDenied) {
        LastErrorText = LoadMessage(msg::FileCaption) + display.FileShown() + "\r" +
                        "Error :  70 - " + LastErrorDescription + BlankLines +
                        LoadMessage(msg::LockedExplanation) + BlankLines +
                        LoadMessage(msg::LockedAdvice);
    } else {
        LastErrorText = LoadMessage(msg::ErrorHeading) + BlankLines +
                        LoadMessage(msg::FileCaption) + display.FileShown() + BlankLines +
                        LoadMessage(msg::ActionCaption) + display.StepShown() + BlankLines +
                        "Error :  " + std::to_string(LastErrorNumber) + BlankLines +
                        LastErrorDescription;
    }

    IRuntime& runtime = *Platform().runtime;
    runtime.SetMousePointer(pointer::Default);
    runtime.MessageBox(LastErrorText, display.Heading(), mb::Critical);
    display.ClearFileAndStep();
}

}  // namespace kiv
