#include "EndToEnd.h"

#include <algorithm>
#include <map>

namespace kiv::e2e {

namespace {

const char* const kPassEnds[] = {"the pass finished", "a message box showed", "the program ended",
                                 "the wait timed out"};

const char* Name(PassEnd end) {
    return kPassEnds[static_cast<int>(end)];
}

}  // namespace

std::string GeneralWording(const std::string& file, const std::string& action, int number,
                           const std::string& description) {
    return "The following error occured during installation : \r\rFile :  " + file +
           "\r\rAction :  " + action + "\r\rError :  " + std::to_string(number) + "\r\r" +
           description;
}

std::string LockedWording(const std::string& file) {
    return "File :  " + file +
           "\rError :  70 - Permission denied\r\rThe update cannot be completed, because the "
           "application is locked by another user ! Make sure to close all Kiv software "
           "applications and try again.\r\rClose all Kiv software applications and try again....";
}

std::vector<std::string> PassLog(const std::wstring& stagingFolder,
                                 const std::vector<Logged>& files) {
    std::map<int, std::string> captions = {{kLabel8, "Label(8)"}, {kLabel21, "Label(21)"}};
    std::vector<std::string> lines;
    auto set = [&](int label, const std::string& caption) {
        if (captions.at(label) != caption) {
            captions[label] = caption;
            lines.push_back(caption);
        }
    };
    set(kLabel8, "...");  // as the window loads
    set(kLabel21, "...");
    if (!stagingFolder.empty()) {
        lines.push_back("Path = " + Utf8(stagingFolder));
        lines.push_back("File Count = " + std::to_string(files.size()));
    }
    for (const Logged& file : files) {
        set(kLabel8, " " + file.name);
        set(kLabel21, text::kDetermine);
        if (file.kind == Kind::Component) {
            set(kLabel21, text::kVerify);
            set(kLabel21, text::kCopy);
            if (file.registered) {
                set(kLabel21, text::kRemoving);
                set(kLabel21, text::kRegistering);
            }
        }
    }
    set(kLabel8, text::kClosing);
    set(kLabel21, text::kClosing);
    return lines;
}

std::vector<std::string> OrderTaken(const std::vector<std::string>& log,
                                    const std::vector<std::string>& names) {
    std::vector<std::string> order;
    for (const auto& line : log) {
        if (line.size() > 1 && line[0] == ' ' &&
            std::find(names.begin(), names.end(), line.substr(1)) != names.end()) {
            order.push_back(line.substr(1));
        }
    }
    return order;
}

::testing::AssertionResult PassEnded(Driver& driver, PassEnd expected) {
    const PassEnd end = driver.WaitForPassEnd(kPassMs);
    if (end == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected that " << Name(expected) << ", but "
                                         << Name(end) << ": " << driver.Status();
}

::testing::AssertionResult LogIs(const Driver& driver, const std::vector<std::string>& expected) {
    const auto lines = driver.Lines();
    if (!lines) {
        return ::testing::AssertionFailure() << "the log list did not answer";
    }
    if (*lines == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the log reads\n"
                                         << Joined(*lines) << "instead of\n"
                                         << Joined(expected);
}

::testing::AssertionResult EndedByEnd(Driver& driver) {
    driver.PressEnd();
    if (!driver.WaitForExit(kExitMs)) {
        return ::testing::AssertionFailure() << "after \"End\": " << driver.Status();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ClosedAndRelaunchDone(Driver& driver) {
    driver.Close();
    if (!driver.WaitForExit(kExitMs)) {
        return ::testing::AssertionFailure() << "after the close command: " << driver.Status();
    }
    if (!driver.WaitForDescendants(kExitMs)) {
        return ::testing::AssertionFailure() << "what the program started still runs";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kiv::e2e
