#pragma once

#include <memory>

#include "platform/ISignatures.h"
#include "platform/win32/ScopedWin_win.h"

namespace kiv {

// Reads detached CMS signatures with crypt32, step by step. crypt32 is not a DLL that every
// Windows maps from its system folder, so it is not imported (a planted copy beside the
// program would be loaded): it is loaded from the system folder by full path when this is
// made, at start-up, and its calls are bound by name then too: a lookup during the pass could
// wait on the loader lock. Without it no signature can be read, and every list is refused.
class Win32Signatures final : public ISignatures {
public:
    Win32Signatures();
    SignedMessage Read(const std::string& signature, const std::string& content) override;

private:
    ScopedLibrary crypt32_;
    std::shared_ptr<const struct Crypt32> calls_;
};

}  // namespace kiv
