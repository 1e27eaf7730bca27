#include "platform/win32/Registrations_win.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/win32/Processes_win.h"
#include "platform/win32/ProgramJob_win.h"
#include "platform/win32/RegistrationChannel_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

// A relative target (a relative installation folder) is taken against this process's
// current folder, as the copy took it; the registration process loads by full path only.
std::wstring FullPath(const std::string& path) {
    const std::wstring relative = ToWide(path);
    std::wstring full(GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        full.empty() ? 0
                     : GetFullPathNameW(relative.c_str(), DWORD(full.size()), full.data(), nullptr);
    full.resize(length < full.size() ? length : 0);
    return full;
}

// The section is made inheritable and the variable set only for the one start that needs
// them: every other start in the program inherits nothing, and the registrations come one
// after another from the pass, so no other start can fall between.
class HandedToChild {
public:
    explicit HandedToChild(HANDLE section) : section_(section) {
        SetHandleInformation(section_, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        SetEnvironmentVariableW(kRegistrationChannelVariable,
                                std::to_wstring(reinterpret_cast<std::uintptr_t>(section)).c_str());
    }
    ~HandedToChild() {
        SetEnvironmentVariableW(kRegistrationChannelVariable, nullptr);
        SetHandleInformation(section_, HANDLE_FLAG_INHERIT, 0);
    }
    HandedToChild(const HandedToChild&) = delete;
    HandedToChild& operator=(const HandedToChild&) = delete;

private:
    HANDLE section_;
};

// Started suspended into the program's job, so that it ends with the program, with this
// process's user, rights and current folder, and no argument. The manifest's request for
// administrator rights asks nothing of a start made by a process that has them.
ScopedKernelHandle StartChild(const std::wstring& image, HANDLE section) {
    std::wstring commandLine = L"\"" + image + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const HandedToChild handed(section);
    if (!CreateInProgramJob(image.c_str(), commandLine.data(), true, startup, process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return ScopedKernelHandle(process.hProcess);
}

}  // namespace

RegistrationChannel& Win32Registrations::Child::Channel() const {
    return *static_cast<RegistrationChannel*>(view.Get());
}

RegistrationHandle Win32Registrations::Start(const std::string& path,
                                             const std::string& exportName) {
    const std::wstring full = FullPath(path);
    if (image_.empty() || full.empty() ||
        full.size() >= sizeof(RegistrationChannel::path) / sizeof(wchar_t) ||
        exportName.size() >= sizeof(RegistrationChannel::exportName)) {
        return 0;
    }
    Child child;
    child.section.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(RegistrationChannel), nullptr));
    if (child.section) {
        child.view.Reset(MapViewOfFile(child.section.Get(), FILE_MAP_WRITE, 0, 0, 0));
    }
    if (!child.view) {
        return 0;
    }
    RegistrationChannel& channel = child.Channel();
    channel.size = sizeof(RegistrationChannel);
    std::memcpy(channel.exportName, exportName.c_str(), exportName.size() + 1);
    std::wmemcpy(channel.path, full.c_str(), full.size() + 1);
    child.process = StartChild(image_, child.section.Get());
    if (!child.process) {
        return 0;
    }
    const auto handle = reinterpret_cast<RegistrationHandle>(child.process.Get());
    children_.emplace(handle, std::move(child));
    return handle;
}

WaitResult Win32Registrations::Wait(RegistrationHandle registration, uint32_t milliseconds) {
    return WaitFor(reinterpret_cast<HANDLE>(registration), milliseconds);
}

Registered Win32Registrations::Outcome(RegistrationHandle registration) {
    const auto found = children_.find(registration);
    if (found == children_.end()) {
        return {Registered::Kind::NotRun, 0};
    }
    const RegistrationChannel& channel = found->second.Channel();
    DWORD exitCode = 0;
    GetExitCodeProcess(found->second.process.Get(), &exitCode);
    switch (static_cast<RegistrationStage>(channel.stage)) {
        case RegistrationStage::Loading:  // ended by the library's own DllMain
        case RegistrationStage::NotLoaded:
            return {Registered::Kind::NotLoaded, 0};
        case RegistrationStage::Calling:
            return {Registered::Kind::Ended, exitCode};
        case RegistrationStage::Returned:
            return {Registered::Kind::Returned, static_cast<uint32_t>(channel.result)};
        case RegistrationStage::Begun:
        case RegistrationStage::NoEntryPoint:
            break;
    }
    return {Registered::Kind::NotRun, exitCode};
}

// A registration given up on is ended, not left to run: it would hold the component's file
// and its imports mapped, and a later copy in the same pass could not replace them.
void Win32Registrations::Close(RegistrationHandle registration) {
    const auto found = children_.find(registration);
    if (found == children_.end()) {
        return;
    }
    const HANDLE process = found->second.process.Get();
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, static_cast<UINT>(ERROR_TIMEOUT));
        WaitForSingleObject(process, 5000);  // its files are unmapped once it has ended
    }
    children_.erase(found);
}

}  // namespace kiv
