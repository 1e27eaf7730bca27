#include "startup/ModUpdate.h"

#include <exception>
#include <new>

#include "ProductInfo.h"
#include "folders/CSystemFolders.h"
#include "messages/LoadMessage.h"
#include "platform/IFiles.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "startup/ExitCodes.h"
#include "ui/FrmUpdate.h"

namespace kiv {

std::string BlankLines;
std::string InstallFolder;
std::string CurrentTarget;
std::string Wow64Folder;
std::shared_ptr<IFileSystem> FileSystem;
int32_t LastErrorNumber = 0;
std::string LastErrorDescription;
std::string LastErrorText;

namespace {

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::unique_ptr<FrmUpdate>& UpdateFormInstance() {
    static std::unique_ptr<FrmUpdate> form;
    return form;
}

}  // namespace

FrmUpdate& UpdateForm() {
    auto& form = UpdateFormInstance();
    if (!form) {
        form = std::make_unique<FrmUpdate>();
    }
    return *form;
}

void DiscardUpdateForm() {
    UpdateFormInstance().reset();
}

void ResolveInstallFolder() {
    std::string folder = TrimBlanks(Platform().runtime->ArgumentText());
    // A Windows path never holds a double quote, so quotes around the whole text only
    // quote it; the relaunch still passes the text on as it came.
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
        folder = folder.substr(1, folder.size() - 2);
    }
    if (folder.empty()) {
        CSystemFolders folders;
        InstallFolder = folders.Path(CSIDL_APPDATA, true, false) + "\\Kiv Aldervik";
    } else {
        InstallFolder = folder;
    }
}

int Main() {
    IRuntime& runtime = *Platform().runtime;
    BlankLines = "\r\r";
    MessageBase = 20000;

    if (runtime.AnotherInstanceRunning()) {
        runtime.Beep();
        runtime.MessageBox("''" KIV_PRODUCT_NAME "'' is already open !", KIV_COMPANY_NAME,
                           mb::Critical);
        return exitcode::AlreadyRunning;
    }

    ResolveInstallFolder();
    UpdateForm().Show(*Platform().views);
    runtime.DoEvents();

    // The argument text is read again and passed on untrimmed, right after the quote.
    const std::string relaunch = "\"" + InstallFolder + "\\kivapp1.exe\"" + runtime.ArgumentText();
    // This process runs elevated, perhaps as another account than the one at the desktop,
    // whose main application it is; only where it cannot start it as that user does the
    // main application get this process's account and rights.
    if (!runtime.StartAsDesktopUser(relaunch, show::MinimizedFocus)) {
        runtime.Start(relaunch, show::MinimizedFocus);
    }
    return exitcode::Relaunched;
}

int RunMain() {
    int exitCode = exitcode::UnhandledError;
    RunEvent([&exitCode] { exitCode = Main(); });
    return exitCode;
}

RuntimeError AsRuntimeError(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return RuntimeError(err::OutOfMemory);
    }
    return RuntimeError(err::InvalidCall, failure.what());
}

void ReportUnhandledError(const RuntimeError& error) {
    IRuntime& runtime = *Platform().runtime;
    runtime.MessageBox(UnhandledErrorText(error), runtime.AppTitle(), mb::Critical);
    runtime.End(exitcode::UnhandledError);
    std::terminate();  // End does not come back; this keeps the compiler sure of it
}

}  // namespace kiv
