#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeFaults.h"
#include "platform/IRuntime.h"
#include "ui/IUpdateView.h"

namespace kiv::fake {

// Thrown by Runtime::End so a test sees the process end without losing its own.
struct ProgramEnded {
    int exitCode;
};

// One ordered record of what the user would have seen and what the program started,
// shared by the runtime and the view, for tests of the order of steps.
using Trace = std::vector<std::string>;

class Runtime final : public IRuntime {
public:
    struct Box {
        std::string text;
        std::string title;
        uint32_t style;
    };
    struct Started {
        std::string commandLine;
        int showState;
    };

    explicit Runtime(Trace& trace) : trace_(trace) {}

    std::string ArgumentText() override { return argumentText; }
    bool AnotherInstanceRunning() override { return anotherInstance; }
    void Beep() override;
    void MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::string AppTitle() override { return "kivupdate"; }
    void SetMousePointer(int value) override;
    int MousePointer() override { return pointer; }
    void DoEvents() override { ++doEvents; }
    void Start(const std::string& commandLine, int showState) override;
    [[noreturn]] void End(int exitCode) override;

    std::string argumentText;
    bool anotherInstance = false;
    int32_t startError = 0;  // the error a start raises, 0 for none
    int pointer = 0;
    int beeps = 0;
    int doEvents = 0;
    std::vector<Box> boxes;
    std::vector<Started> started;

private:
    Trace& trace_;
};

class View final : public IUpdateView, public IViewFactory {
public:
    enum class Closing { CloseCommand, EndButton };

    explicit View(Trace& trace) : trace_(trace) {}

    IUpdateView& CreateUpdateView(FrmUpdate& form) override;
    void SetLabelCaption(int index, const std::string& caption) override;
    void SetLabelVisible(int index, bool visible) override;
    void RefreshLabel(int index) override;
    void AddLogLine(const std::string& line) override;
    int32_t ProgressValue() override;
    int32_t ProgressMax() override;
    int32_t ProgressMin() override;
    void SetProgressValue(int32_t value) override;
    void Refresh() override { trace_.push_back("refresh window"); }
    void SetExtendedStyle(uint32_t style) override { exStyle = style; }
    void SetLayeredAlpha(uint8_t value) override { alpha = value; }
    void ShowModal() override;

    Closing closing = Closing::CloseCommand;
    std::map<int, std::string> labels;
    std::map<int, bool> visible;
    std::vector<std::string> log;
    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 100;
    uint32_t exStyle = 0x00040000;  // as created, before the form makes it layered
    int alpha = -1;                 // not layered yet
    int shown = 0;
    Faults faults;  // "progress": any access to the indicator

private:
    FrmUpdate* form_ = nullptr;
    Trace& trace_;
};

}  // namespace kiv::fake
