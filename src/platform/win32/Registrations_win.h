#pragma once

#include <map>
#include <string>

#include "platform/IRegistrations.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

struct RegistrationChannel;

// Each registration runs in a process of its own, started from the program's own file: a
// component's code can then neither hang the program (in its DllMain, under the loader
// lock), nor fault it, nor keep its files mapped in it, and it gets OLE as regsvr32 gives it.
class Win32Registrations final : public IRegistrations {
public:
    // image: the program's own file, held so that it cannot be swapped (OwnImage); empty,
    // nothing is started.
    explicit Win32Registrations(std::wstring image) : image_(std::move(image)) {}

    RegistrationHandle Start(const std::string& path, const std::string& exportName) override;
    WaitResult Wait(RegistrationHandle registration, uint32_t milliseconds) override;
    Registered Outcome(RegistrationHandle registration) override;
    void Close(RegistrationHandle registration) override;

private:
    struct Child {
        ScopedKernelHandle section;
        ScopedView view;  // of the section: the registration's RegistrationChannel
        ScopedKernelHandle process;
        RegistrationChannel& Channel() const;
    };

    std::wstring image_;
    std::map<RegistrationHandle, Child> children_;
};

}  // namespace kiv
