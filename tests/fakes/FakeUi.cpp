#include "fakes/FakeWindows.h"
#include "startup/ModUpdate.h"
#include "ui/FrmUpdate.h"

namespace kiv::fake {

IUpdateView& View::CreateUpdateView(FrmUpdate& form) {
    form_ = &form;
    form.AttachView(*this);
    return *this;
}

void View::ShowModal() {
    RunEvent([this] { form_->Form_Load(); });
    RunEvent([this] { form_->Form_Activate(); });
    if (pressEnd) {
        RunEvent([this] { form_->Command1_Click(); });
    }
}

}  // namespace kiv::fake
