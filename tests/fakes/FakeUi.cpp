#include "fakes/FakeUi.h"

#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv::fake {

void Runtime::Beep() {
    ++beeps;
    trace_.push_back("beep");
}

void Runtime::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    boxes.push_back({text, title, style});
    trace_.push_back("box " + title);
}

void Runtime::SetMousePointer(int value) {
    pointer = value;
    trace_.push_back("pointer " + std::to_string(value));
}

void Runtime::Start(const std::string& commandLine, int showState) {
    trace_.push_back("start " + commandLine);
    if (startError != 0) {
        throw RuntimeError(startError);
    }
    started.push_back({commandLine, showState});
}

void Runtime::End(int exitCode) {
    trace_.push_back("end " + std::to_string(exitCode));
    throw ProgramEnded{exitCode};
}

IUpdateView& View::CreateUpdateView(FrmUpdate& form) {
    form_ = &form;
    form.AttachView(*this);
    labels = FrmUpdate::DesignCaptions();
    visible = {{0, true}, {1, false}, {2, true}, {8, true}, {21, true}};
    return *this;
}

void View::SetLabelCaption(int index, const std::string& caption) {
    labels[index] = caption;
    trace_.push_back("label " + std::to_string(index) + " =" + caption);
}

void View::SetLabelVisible(int index, bool show) {
    visible[index] = show;
}

void View::RefreshLabel(int index) {
    trace_.push_back("repaint " + std::to_string(index));
}

void View::AddLogLine(const std::string& line) {
    log.push_back(line);
}

int32_t View::ProgressValue() {
    faults.Hit("progress");
    return value;
}

int32_t View::ProgressMax() {
    faults.Hit("progress");
    return maximum;
}

int32_t View::ProgressMin() {
    faults.Hit("progress");
    return minimum;
}

void View::SetProgressValue(int32_t newValue) {
    faults.Hit("progress");
    value = newValue;
    trace_.push_back("progress " + std::to_string(newValue));
}

// The modal display: load, first activation, then the way the user ends it.
void View::ShowModal() {
    ++shown;
    RunEvent([this] { form_->Form_Load(); });
    RunEvent([this] { form_->Form_Activate(); });
    if (closing == Closing::EndButton) {
        RunEvent([this] { form_->Command1_Click(); });
    }
}

}  // namespace kiv::fake
