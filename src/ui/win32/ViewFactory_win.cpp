#include "ui/win32/ViewFactory_win.h"

#include "ui/win32/PassView_win.h"
#include "ui/win32/UpdateWindow_win.h"

namespace kiv {

Win32ViewFactory::Win32ViewFactory(HINSTANCE instance) : instance_(instance) {}

Win32ViewFactory::~Win32ViewFactory() = default;

IUpdateView& Win32ViewFactory::CreateUpdateView(FrmUpdate& form) {
    if (!updateWindow_) {
        updateWindow_ = std::make_unique<UpdateWindow>(instance_, form);
        view_ = std::make_unique<PassView>(*updateWindow_);
        updateWindow_->SetPassView(view_.get());
    }
    return *view_;
}

}  // namespace kiv
