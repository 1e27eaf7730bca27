#include "EndToEnd.h"

#include <algorithm>

namespace kiv::e2e {

namespace {

const char* Name(PassEnd end) {
    switch (end) {
        case PassEnd::Finished:
            return "the pass finished";
        case PassEnd::BoxShown:
            return "a message box showed";
        case PassEnd::Exited:
            return "the program ended";
        case PassEnd::TimedOut:
            return "the wait timed out";
    }
    return "?";
}

}  // namespace

std::string GeneralWording(const std::string& file, const std::string& action, int number,
                           const std::string& description) {
    const std::string blank = "\r\r";
    return text::kHeading + blank + text::kFile + file + blank + text::kAction + action + blank +
           "Error :  " + std::to_string(number) + blank + description;
}

std::string LockedWording(const std::string& file) {
    return text::kFile + file + "\r" + "Error :  70 - Permission denied" + "\r\r" + text::kLocked +
           "\r\r" + text::kCloseAll;
}

LogModel::LogModel() : captions_{{kLabel8, "Label(8)"}, {kLabel21, "Label(21)"}} {
    Set(kLabel8, "...");
    Set(kLabel21, "...");
}

void LogModel::Set(int label, const std::string& caption) {
    std::string& current = captions_.at(label);
    if (current != caption) {
        current = caption;
        lines_.push_back(caption);
    }
}

void LogModel::Header(const std::wstring& stagingFolder, size_t count) {
    lines_.push_back("Path = " + Utf8(stagingFolder));
    lines_.push_back("File Count = " + std::to_string(count));
}

void LogModel::File(const std::string& name, Kind kind, bool registered) {
    Set(kLabel8, " " + name);
    Set(kLabel21, text::kDetermine);
    if (kind == Kind::Component) {
        Set(kLabel21, text::kVerify);
        Set(kLabel21, text::kCopy);
        if (registered) {
            Set(kLabel21, text::kRemoving);
            Set(kLabel21, text::kRegistering);
        }
    }
}

void LogModel::End() {
    Set(kLabel8, text::kClosing);
    Set(kLabel21, text::kClosing);
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
