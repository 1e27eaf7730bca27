#pragma once

#include <memory>

#include "platform/win32/Windows_win.h"
#include "ui/IUpdateView.h"

namespace kiv {

class PassView;
class UpdateWindow;

// Makes the one update window, the first time the form asks for it.
class Win32ViewFactory final : public IViewFactory {
public:
    explicit Win32ViewFactory(HINSTANCE instance);
    ~Win32ViewFactory() override;
    IUpdateView& CreateUpdateView(FrmUpdate& form) override;

private:
    HINSTANCE instance_;
    std::unique_ptr<UpdateWindow> updateWindow_;
    // What the form is given: the window, with the pass's changes handed over to its
    // thread. Declared after the window, so that it goes first.
    std::unique_ptr<PassView> view_;
};

}  // namespace kiv
