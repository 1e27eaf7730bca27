#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "Fixture.h"

// What the end-to-end suites share: the program's English texts, the waits, and a model
// of the log the update window keeps.
namespace kiv::e2e {

namespace text {
constexpr char kDetermine[] = " Determine File $\\Path...";
constexpr char kVerify[] = "Verify file exist...";
constexpr char kCopy[] = "Copy file to destination folder";
constexpr char kRemoving[] = " Removing DLL/OCX from register...";
constexpr char kRegistering[] = " Registering new DLL/OCX...";
constexpr char kTitle[] = "Updating Software...";
constexpr char kAlreadyOpen[] = "''kivALDERVIK '' is already open !";
constexpr char kAlreadyOpenTitle[] = "Kiv Software";
constexpr char kClosing[] = " ...";
}  // namespace text

// Waits: a started program shows its window within a second or two under wine, and the
// passes here handle a few small files.
constexpr DWORD kWindowMs = 6000;
constexpr DWORD kPassMs = 6000;
constexpr DWORD kExitMs = 5000;

// The general wording of the installation error report.
std::string GeneralWording(const std::string& file, const std::string& action, int number,
                           const std::string& description);
// The wording of a failure 70: the destination is in use or read-only.
std::string LockedWording(const std::string& file);

enum class Kind { SystemFile, Component, Skipped };

struct Logged {
    std::string name;
    Kind kind;
    bool registered;
};

// The log of a pass over these files in this order: a label's new caption becomes a line,
// and so do the two header lines (left out for an empty staging folder name: the pass
// failed before it listed one). Assigning a label the caption it shows already adds no
// line: the program logs what the user saw change.
std::vector<std::string> PassLog(const std::wstring& stagingFolder,
                                 const std::vector<Logged>& files);

// The staged names in the order the pass took them, read from its log (the order of the
// file list is the program's own).
std::vector<std::string> OrderTaken(const std::vector<std::string>& log,
                                    const std::vector<std::string>& names);

// Names each case of a parameterized suite by its "name" field.
struct ByName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

::testing::AssertionResult PassEnded(Driver& driver, PassEnd expected);
::testing::AssertionResult LogIs(const Driver& driver, const std::vector<std::string>& expected);
// Ends the program by "End" and waits for it.
::testing::AssertionResult EndedByEnd(Driver& driver);
// Closes the window and waits for the program and what it started to end.
::testing::AssertionResult ClosedAndRelaunchDone(Driver& driver);

}  // namespace kiv::e2e
