#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/FakeWindows.h"
#include "messages/LoadMessage.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv::testing {

constexpr FileTime kOld = 1000000000;
constexpr FileTime kNew = 1700000000;

// A fake Windows with an installation at C:\Kiv and the program's globals reset;
// Reset() starts over inside one table-driven test.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() { Reset(); }
    ~ProgramFixture() override { DiscardUpdateForm(); }

    void Reset() {
        form.reset();
        DiscardUpdateForm();
        fake_ = std::make_unique<fake::Windows>();
        windows().Install();
        MessageBase = 20000;
        BlankLines = "\r\r";
        InstallFolder = "C:\\Kiv";
        CurrentTarget.clear();
        Wow64Folder.clear();
        FileSystem.reset();
        LastErrorNumber = 0;
        for (const char* folder : {"C:\\Kiv", "C:\\Kiv\\support", "C:\\Kiv\\Library", "C:\\WINDOWS",
                                   "C:\\WINDOWS\\system32"}) {
            windows().files.AddFolder(folder);
        }
    }

    fake::Windows& windows() { return *fake_; }

    void Stage(const std::string& name, FileTime time = kNew) {
        windows().files.AddFile("C:\\Kiv\\support\\" + name, time, "new " + name);
    }
    void Installed(const std::string& path, FileTime time) {
        windows().files.AddFile(path, time, "old");
    }
    void Make64Bit() {
        windows().files.AddFolder("C:\\WINDOWS\\SysWOW64");
        windows().files.AddFile("C:\\WINDOWS\\SysWOW64\\kernel32.dll");
    }
    std::string Content(const std::string& path) {
        const auto* entry = windows().files.Find(path);
        return entry == nullptr ? "<missing>" : entry->content;
    }

    // Loads and activates the window, which runs the pass; unhandled errors end the
    // "process" with ProgramEnded.
    void RunPass() {
        form = std::make_unique<FrmUpdate>();
        windows().view.CreateUpdateView(*form);
        RunEvent([this] { form->Form_Load(); });
        RunEvent([this] { form->Form_Activate(); });
    }

    const std::string& Log(size_t fromEnd) {
        return windows().view.log.at(windows().view.log.size() - 1 - fromEnd);
    }

    std::unique_ptr<FrmUpdate> form;

private:
    std::unique_ptr<fake::Windows> fake_;
};

}  // namespace kiv::testing
