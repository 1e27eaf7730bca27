#include "engine/ErrorReport.h"

#include "engine/IPassDisplay.h"
#include "engine/PassState.h"
#include "messages/LoadMessage.h"
#include "messages/MessageCodes.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"

namespace kiv {

constexpr char BlankLines[] = "\r\r";  // between the paragraphs of a box

void ReportInstallationError(PassState& state, IPassDisplay& display, const RuntimeError& error) {
    state.LastErrorNumber = error.Number();
    state.LastErrorDescription = error.Description();

    if (state.LastErrorNumber == err::PermissionDenied) {
        state.LastErrorText = LoadMessage(msg::FileCaption) + display.FileShown() + "\r" +
                              "Error :  70 - " + state.LastErrorDescription + BlankLines +
                              LoadMessage(msg::LockedExplanation) + BlankLines +
                              LoadMessage(msg::LockedAdvice);
    } else {
        state.LastErrorText = LoadMessage(msg::ErrorHeading) + BlankLines +
                              LoadMessage(msg::FileCaption) + display.FileShown() + BlankLines +
                              LoadMessage(msg::ActionCaption) + display.StepShown() + BlankLines +
                              "Error :  " + std::to_string(state.LastErrorNumber) + BlankLines +
                              state.LastErrorDescription;
    }

    IRuntime& runtime = *Platform().runtime;
    runtime.SetMousePointer(pointer::Default);
    runtime.MessageBox(state.LastErrorText, display.Heading(), mb::Critical);
    display.ClearFileAndStep();
}

}  // namespace kiv
