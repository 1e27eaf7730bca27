#include "engine/UpdatePass.h"

#include "engine/ErrorReport.h"
#include "engine/FileList.h"
#include "engine/IPassDisplay.h"
#include "engine/Registration.h"
#include "engine/Text.h"
#include "messages/MessageCodes.h"
#include "platform/IFiles.h"
#include "platform/IRuntime.h"
#include "platform/ISystemDirs.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "startup/ModUpdate.h"

namespace kiv {

namespace {

constexpr uint32_t kSystemFolderBuffer = 255;

enum class FileKind { System, Component, Other };

FileKind KindOf(const std::string& fileName) {
    const std::string key = Upper(Right(fileName, 4));
    for (const char* system : {".DEP", ".LIB", ".OCA", ".EXP"}) {
        if (key == system) {
            return FileKind::System;
        }
    }
    return key == ".DLL" || key == ".OCX" ? FileKind::Component : FileKind::Other;
}

// The maker's own libraries ("kiv....lib.dll") live in the product's Library folder.
bool IsLibraryDll(const std::string& fileName) {
    return Upper(fileName.substr(0, 3)) == "KIV" && Upper(Right(fileName, 7)) == "LIB.DLL";
}

// On 64-bit Windows the 32-bit system folder sits beside system32; it counts only when
// it holds an ordinary file.
std::string FindWow64Folder(const std::string& systemFolder) {
    const auto position = Upper(systemFolder).find("SYSTEM32");
    if (position == std::string::npos) {
        return {};
    }
    const std::string folder = systemFolder.substr(0, position) + "SysWOW64";
    return Platform().files->FirstNormalFile(folder + "\\*.*").empty() ? std::string() : folder;
}

class UpdatePass {
public:
    explicit UpdatePass(IPassDisplay& display) : display_(display), files_(*Platform().files) {}

    void Run(FileList& list) {
        systemFolder_ = GetSystemFolder();
        // Without it every system file and component would go to the root of the drive.
        if (systemFolder_.empty()) {
            throw RuntimeError(err::PathNotFound);
        }
        Wow64Folder = FindWow64Folder(systemFolder_);
        if (!Wow64Folder.empty()) {
            display_.ShowBitness();
        }

        list.SetPath(InstallFolder + "\\support");
        list.Refresh();
        display_.AddItem("Path = " + list.Path());
        display_.AddItem("File Count = " + std::to_string(list.ListCount()));

        for (int index = 0; index < list.ListCount(); ++index) {
            HandleFile(list.List(index));
            display_.Progress_Move(ProgressMove::Step);
        }

        display_.ClearFileAndStep();
        display_.Progress_Move(ProgressMove::Fill);
    }

private:
    void HandleFile(const std::string& fileName) {
        display_.ShowFile(" " + fileName);
        display_.ShowStep(msg::DetermineFile);

        switch (KindOf(fileName)) {
            case FileKind::System:
                CurrentTarget = systemFolder_ + "\\" + fileName;
                CopyWhenMissingOrOlder(fileName);
                break;
            case FileKind::Component:
                HandleComponent(fileName);
                break;
            case FileKind::Other:
                break;
        }
    }

    void HandleComponent(const std::string& fileName) {
        display_.ShowStep(msg::VerifyFileExists);
        if (IsLibraryDll(fileName)) {
            CurrentTarget = InstallFolder + "\\Library\\" + fileName;
        } else {
            CurrentTarget = systemFolder_ + "\\" + fileName;
            FileLook unused;
            if (!Wow64Folder.empty() && !FileSystem->FileExists(CurrentTarget, unused)) {
                CurrentTarget = Wow64Folder + "\\" + fileName;
            }
        }
        display_.ShowStep(msg::CopyToDestination);

        if (ShouldRegister(CopyWhenMissingOrOlder(fileName), CurrentTarget)) {
            RegisterCopiedComponent(display_, CurrentTarget);
        }
    }

    CopyKind CopyWhenMissingOrOlder(const std::string& fileName) {
        const std::string staged = InstallFolder + "\\Support\\" + fileName;
        FileLook installed;
        if (!FileSystem->FileExists(CurrentTarget, installed)) {
            FileSystem->CopyFile(staged, CurrentTarget, installed);
            return CopyKind::NewCopy;
        }
        if (installed.lastModified < files_.LastModified(staged)) {
            FileSystem->CopyFile(staged, CurrentTarget, installed);
            return CopyKind::Replacement;
        }
        return CopyKind::NotCopied;
    }

    IPassDisplay& display_;
    IFiles& files_;
    std::string systemFolder_;
};

}  // namespace

std::string GetSystemFolder() {
    std::string buffer(kSystemFolderBuffer, '\0');
    const uint32_t length = Platform().dirs->SystemDirectory(buffer, kSystemFolderBuffer);
    // A path that did not fit would be a buffer of NULs, not a folder.
    if (length == 0 || length > buffer.size()) {
        return {};
    }
    return buffer.substr(0, length);
}

void RunUpdatePass(IPassDisplay& display, FileList& staged) {
    IRuntime& runtime = *Platform().runtime;
    runtime.SetMousePointer(pointer::Hourglass);
    TrapRuntimeErrors(
        [&] {
            UpdatePass(display).Run(staged);
            runtime.SetMousePointer(pointer::Default);
        },
        [&](const RuntimeError& error) { ReportInstallationError(display, error); });
}

}  // namespace kiv
