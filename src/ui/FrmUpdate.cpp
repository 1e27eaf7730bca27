#include "ui/FrmUpdate.h"

#include "engine/PassState.h"
#include "engine/UpdatePass.h"
#include "messages/LoadMessage.h"
#include "platform/ExitCodes.h"
#include "platform/IFiles.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/RuntimeError.h"
#include "ui/IUpdateView.h"

namespace kiv {

namespace {

constexpr uint32_t kExStyleLayered = 0x80000;
constexpr uint8_t kOpacity = 200;
constexpr int32_t kProgressStep = 10;

// The indicator's arithmetic is 32-bit; leaving that range is the runtime's overflow.
int32_t Checked(int64_t value) {
    if (value < INT32_MIN || value > INT32_MAX) {
        throw RuntimeError(err::Overflow);
    }
    return static_cast<int32_t>(value);
}

}  // namespace

FrmUpdate::FrmUpdate(PassState& state) : state_(state), captions_(DesignCaptions()) {}
FrmUpdate::~FrmUpdate() = default;

const std::map<int, std::string>& FrmUpdate::DesignCaptions() {
    static const std::map<int, std::string> captions = {
        {label::Emblem, "kiv"},
        {label::Bitness, "64-bit"},
        {label::Heading, "Updating Software..."},
        {label::File, "Label(8)"},
        {label::Step, "Label(21)"},
    };
    return captions;
}

void FrmUpdate::Show(IViewFactory& factory) {
    view_ = &factory.CreateUpdateView(*this);
    view_->ShowModal();
}

void FrmUpdate::Form_Load() {
    SetCaption(label::File, "...");
    SetCaption(label::Step, "...");
    // The layered flag replaces the extended style rather than joining it.
    view_->SetExtendedStyle(kExStyleLayered);
    view_->SetLayeredAlpha(kOpacity);
}

void FrmUpdate::Form_Activate() {
    // Only the first activation runs the pass; the program has no other window that
    // could take the activation and give it back.
    if (activated_) {
        return;
    }
    activated_ = true;
    view_->RunPass(Caption(label::Heading), [this] {
        view_->Refresh();
        Platform().runtime->DoEvents();
        state_.FileSystem = Platform().files->CreateFileSystem();
        Update_Reg();
    });
}

void FrmUpdate::Command1_Click() {
    Platform().runtime->DoEvents();
    Platform().runtime->End(exitcode::Ended);
}

void FrmUpdate::Label_Change(int index) {
    AddItem(Caption(index));
}

const std::string& FrmUpdate::Caption(int index) const {
    return captions_.at(index);
}

void FrmUpdate::SetCaption(int index, const std::string& caption) {
    std::string& current = captions_.at(index);
    // Assigning the caption a label already shows is no change and adds no log line:
    // the log lists what the user saw change.
    if (current == caption) {
        return;
    }
    current = caption;
    view_->SetLabelCaption(index, caption);
    Label_Change(index);
}

void FrmUpdate::ShowBitness() {
    view_->SetLabelVisible(label::Bitness, true);
}

void FrmUpdate::ShowFile(const std::string& caption) {
    SetCaption(label::File, caption);
}

void FrmUpdate::ShowStep(int32_t message) {
    SetCaption(label::Step, LoadMessage(message));
}

void FrmUpdate::ClearFileAndStep() {
    SetCaption(label::File, " ...");
    SetCaption(label::Step, " ...");
}

void FrmUpdate::AddItem(const std::string& line) {
    view_->AddLogLine(line);
}

FrmFiles& FrmUpdate::Files() {
    if (!frmFiles_) {
        frmFiles_ = std::make_unique<FrmFiles>(*Platform().files);
    }
    return *frmFiles_;
}

void FrmUpdate::Update_Reg() {
    RunUpdatePass(state_, *this, Files().FileList1);
}

// A step past the end starts again from the beginning: the number of files is not known
// ahead, so the indicator shows that work goes on rather than how much is left.
void FrmUpdate::Progress_Move(ProgressMove move) {
    if (move == ProgressMove::Fill) {
        view_->SetProgressValue(view_->ProgressMax());
        return;
    }
    const int32_t maximum = view_->ProgressMax();
    const int32_t value = view_->ProgressValue();
    if (value < Checked(int64_t{maximum} - kProgressStep)) {
        view_->SetProgressValue(Checked(int64_t{value} + kProgressStep));
    } else {
        const int32_t minimum = view_->ProgressMin();
        view_->SetProgressValue(Checked(int64_t{minimum} + kProgressStep));
    }
}

}  // namespace kiv
