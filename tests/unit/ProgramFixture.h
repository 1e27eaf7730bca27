#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/PassState.h"
#include "fakes/FakeWindows.h"
#include "messages/LoadMessage.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv::testing {

using fake::Lines;

constexpr FileTime kNew = 1700000000;
const std::string kSys32 = "C:\\WINDOWS\\System32";  // as some Windows spell it
const std::string kWow64 = "C:\\WINDOWS\\SysWOW64";
const std::string kLibrary = "C:\\Kiv\\Library";
const std::string kRoaming = "C:\\Users\\ann\\AppData\\Roaming";

inline Lines operator+(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// The step texts as the user reads them, blanks included.
const std::string kDetermine = " Determine File $\\Path...", kVerify = "Verify file exist...",
                  kCopy = "Copy file to destination folder",
                  kRemoving = " Removing DLL/OCX from register...",
                  kRegistering = " Registering new DLL/OCX...";

// A fake Windows with an installation at C:\Kiv and the pass's state as start-up leaves it;
// Reset() starts over inside one table-driven test, on 64-bit Windows when asked.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() { Reset(); }

    void Reset(bool windows64 = false) {
        form.reset();
        win = std::make_unique<fake::Windows>();
        win->Install();
        MessageBase = 20000;
        state = PassState();
        state.InstallFolder = "C:\\Kiv";
        for (const auto& folder :
             Lines{"C:\\Kiv", "C:\\Kiv\\support", kLibrary, "C:\\WINDOWS", kSys32}) {
            win->files.Add(folder, attr::Directory);
        }
        // SysWOW64 counts only when it holds an ordinary file.
        win->files.Add(kWow64, attr::Directory);
        win->files.Add(kWow64 + (windows64 ? "\\kernel32.dll" : "\\desktop.ini"),
                       windows64 ? attr::Archive : attr::Hidden);
        win->dirs.system = kSys32;
    }

    void Stage(const std::string& name) {
        win->files.Add("C:\\Kiv\\support\\" + name, attr::Archive, kNew);
    }

    // Loads and activates the window, which runs the pass.
    void RunPass() {
        form = std::make_unique<FrmUpdate>(state);
        win->view.CreateUpdateView(*form).ShowModal();
    }

    // The trace entries that start with any of the prefixes, in order.
    Lines Traced(std::initializer_list<std::string> prefixes) const {
        Lines found;
        std::copy_if(win->trace.begin(), win->trace.end(), std::back_inserter(found),
                     [&](const std::string& line) {
                         return std::any_of(prefixes.begin(), prefixes.end(),
                                            [&](const auto& p) { return line.rfind(p, 0) == 0; });
                     });
        return found;
    }
    // The last n entries of a record.
    static Lines Tail(const Lines& lines, size_t n) {
        return Lines(lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())),
                     lines.end());
    }

    std::unique_ptr<fake::Windows> win;
    PassState state;
    std::unique_ptr<FrmUpdate> form;
};

}  // namespace kiv::testing
