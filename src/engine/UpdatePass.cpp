#include "engine/UpdatePass.h"

#include <optional>

#include "engine/ErrorReport.h"
#include "engine/FileList.h"
#include "engine/IPassDisplay.h"
#include "engine/PassState.h"
#include "engine/Registration.h"
#include "engine/Text.h"
#include "messages/MessageCodes.h"
#include "platform/ErrorTrap.h"
#include "platform/IFiles.h"
#include "platform/IRuntime.h"
#include "platform/ISystemDirs.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "trust/Publisher.h"

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
    UpdatePass(PassState& state, IPassDisplay& display)
        : state_(state), display_(display), files_(*Platform().files) {}

    void Run(FileList& list) {
        systemFolder_ = GetSystemFolder();
        // Without it every system file and component would go to the root of the drive.
        if (systemFolder_.empty()) {
            throw RuntimeError(err::PathNotFound);
        }
        state_.Wow64Folder = FindWow64Folder(systemFolder_);
        if (!state_.Wow64Folder.empty()) {
            display_.ShowBitness();
        }

        list.SetPath(state_.InstallFolder + "\\support");
        list.Refresh();
        display_.AddItem("Path = " + list.Path());
        display_.AddItem("File Count = " + std::to_string(list.ListCount()));
        // A build with pins installs only what the publisher signed; with no file staged there
        // is nothing to sign.
        if (!state_.PublisherPins.empty() && list.ListCount() > 0) {
            display_.ShowFile(std::string(" ") + kSignedListFile);
            signedList_ = ReadSignedStagingList(list.Path(), state_.PublisherPins);
        }

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

        const FileKind kind = KindOf(fileName);
        listed_ = nullptr;
        if (signedList_ && kind != FileKind::Other) {
            listed_ = signedList_->Find(fileName);
            if (listed_ == nullptr) {
                throw NotFromPublisher("this file is not on their signed list.");
            }
        }
        switch (kind) {
            case FileKind::System:
                state_.CurrentTarget = systemFolder_ + "\\" + fileName;
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
            state_.CurrentTarget = state_.InstallFolder + "\\Library\\" + fileName;
        } else {
            state_.CurrentTarget = systemFolder_ + "\\" + fileName;
            FileLook unused;
            if (!state_.Wow64Folder.empty() &&
                !state_.FileSystem->FileExists(state_.CurrentTarget, unused)) {
                state_.CurrentTarget = state_.Wow64Folder + "\\" + fileName;
            }
        }
        display_.ShowStep(msg::CopyToDestination);

        if (ShouldRegister(CopyWhenMissingOrOlder(fileName), state_.CurrentTarget)) {
            // In a folder the user can write (Library), the file registered must still be the
            // one signed: it is checked again and kept from change until registered.
            const std::shared_ptr<void> held =
                listed_ ? state_.FileSystem->HoldAsListed(state_.CurrentTarget, *listed_) : nullptr;
            RegisterCopiedComponent(state_, display_, state_.CurrentTarget);
        }
    }

    CopyKind CopyWhenMissingOrOlder(const std::string& fileName) {
        const std::string staged = state_.InstallFolder + "\\Support\\" + fileName;
        FileLook installed;
        if (!state_.FileSystem->FileExists(state_.CurrentTarget, installed)) {
            state_.FileSystem->CopyFile(staged, state_.CurrentTarget, installed, listed_);
            return CopyKind::NewCopy;
        }
        // The signed time, where there is one: an old list replayed with its old files then
        // installs nothing older than what is there, and the copy refuses a file whose time
        // is not the signed one.
        const FileTime stagedTime = listed_ ? listed_->lastModified : files_.LastModified(staged);
        if (installed.lastModified < stagedTime) {
            state_.FileSystem->CopyFile(staged, state_.CurrentTarget, installed, listed_);
            return CopyKind::Replacement;
        }
        return CopyKind::NotCopied;
    }

    PassState& state_;
    IPassDisplay& display_;
    IFiles& files_;
    std::string systemFolder_;
    std::optional<StagingList> signedList_;
    const ListedFile* listed_ = nullptr;  // the signed entry of the file at hand
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

void RunUpdatePass(PassState& state, IPassDisplay& display, FileList& staged) {
    IRuntime& runtime = *Platform().runtime;
    runtime.SetMousePointer(pointer::Hourglass);
    TrapRuntimeErrors(
        [&] {
            UpdatePass(state, display).Run(staged);
            runtime.SetMousePointer(pointer::Default);
        },
        [&](const RuntimeError& error) { ReportInstallationError(state, display, error); });
}

}  // namespace kiv
