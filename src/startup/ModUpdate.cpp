#include "startup/ModUpdate.h"

#include "ProductInfo.h"
#include "engine/PassState.h"
#include "folders/CSystemFolders.h"
#include "messages/LoadMessage.h"
#include "platform/ErrorTrap.h"
#include "platform/ExitCodes.h"
#include "platform/IFiles.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "ui/FrmUpdate.h"

namespace kiv {

namespace {

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ResolveInstallFolder() {
    std::string folder = TrimBlanks(Platform().runtime->ArgumentText());
    // A Windows path never holds a double quote, so quotes around the whole text only
    // quote it; the relaunch still passes the text on as it came.
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
        folder = folder.substr(1, folder.size() - 2);
    }
    if (folder.empty()) {
        CSystemFolders folders;
        return folders.Path(CSIDL_APPDATA, true, false) + "\\Kiv Aldervik";
    }
    return folder;
}

int Main(PassState& state) {
    IRuntime& runtime = *Platform().runtime;
    MessageBase = 20000;

    if (runtime.AnotherInstanceRunning()) {
        runtime.Beep();
        runtime.MessageBox("''" KIV_PRODUCT_NAME "'' is already open !", KIV_COMPANY_NAME,
                           mb::Critical);
        return exitcode::AlreadyRunning;
    }

    state.InstallFolder = ResolveInstallFolder();
    FrmUpdate form(state);
    form.Show(*Platform().views);
    runtime.DoEvents();

    // The argument text is read again and passed on untrimmed, right after the quote.
    const std::string relaunch =
        "\"" + state.InstallFolder + "\\kivapp1.exe\"" + runtime.ArgumentText();
    // This process runs elevated, perhaps as another account than the one at the desktop,
    // whose main application it is; only where it cannot start it as that user does the
    // main application get this process's account and rights.
    if (!runtime.StartAsDesktopUser(relaunch, show::MinimizedFocus)) {
        runtime.Start(relaunch, show::MinimizedFocus);
    }
    return exitcode::Relaunched;
}

int RunMain(PassState& state) {
    int exitCode = exitcode::UnhandledError;
    RunEvent([&] { exitCode = Main(state); });
    return exitCode;
}

}  // namespace kiv
