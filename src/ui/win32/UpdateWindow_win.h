#pragma once

#include <memory>
#include <string>

#include "platform/win32/ScopedWin_win.h"
#include "ui/IUpdateView.h"
#include "ui/win32/BaseWindow_win.h"
#include "ui/win32/FormBackdrop_win.h"
#include "ui/win32/PassInput_win.h"
#include "ui/win32/UpdateControls_win.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

class PassView;

// The update window: a borderless, fixed-size popup laid out in twips at the window's
// dpi, whose events go to the form's logic. Its thread only runs its message loop; what the
// form shows reaches it through PassView.
class UpdateWindow final : public BaseWindow<UpdateWindow> {
public:
    // Makes the window, hidden, with its controls; raises RuntimeError when it cannot.
    UpdateWindow(HINSTANCE instance, FrmUpdate& form);
    ~UpdateWindow();

    void BeginPass(const std::string& reason);
    void EndPass();
    // Runs Form_Load, shows the window, and runs its loop until it is closed: input during
    // the pass goes to the pass's input rules, and a quit another program posts is a
    // request to close.
    void ShowModal();
    void OnQuit();

    void SetPassView(PassView* view) { passView_ = view; }
    UpdateControls& Controls() { return *controls_; }
    PassInput& Input() { return *input_; }

private:
    friend class BaseWindow<UpdateWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void OnPrintClient(HDC dc);
    void OnActivate(WPARAM state);
    void OnFirstActivation();
    void OnCommand(WPARAM wParam);
    bool OnSetCursor();
    LRESULT OnCtlColorStatic(HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
    void OnRequest(Request request);
    void OnClose();
    void OnDestroy();
    LRESULT OnEndSession(bool ending);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnRunOnWindowThread(LPARAM task);

    void LoadIcons();

    HINSTANCE instance_;
    FrmUpdate& form_;
    FormBackdrop backdrop_;
    std::unique_ptr<UpdateControls> controls_;
    std::unique_ptr<UpdateLayout> layout_;
    std::unique_ptr<PassInput> input_;
    PassView* passView_ = nullptr;
    ScopedIcon bigIcon_;
    ScopedIcon smallIcon_;
    HWND focus_ = nullptr;
    bool activated_ = false;
    bool closed_ = false;
};

}  // namespace kiv
