#pragma once

#include <memory>
#include <string>

#include "platform/win32/ScopedWin_win.h"
#include "ui/IUpdateView.h"
#include "ui/win32/BaseWindow_win.h"
#include "ui/win32/FormBackdrop_win.h"
#include "ui/win32/PassGuard_win.h"
#include "ui/win32/UpdateControls_win.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

// The update window: a borderless, fixed-size popup laid out in twips at the window's
// dpi, whose events go to the form's logic. Every change it is given goes on screen at
// once; FramedView holds changes back while the pass runs.
class UpdateWindow final : public BaseWindow<UpdateWindow>, public IUpdateView {
public:
    // Makes the window, hidden, with its controls; raises RuntimeError when it cannot.
    UpdateWindow(HINSTANCE instance, FrmUpdate& form);
    ~UpdateWindow() override;

    void SetLabelCaption(int index, const std::string& caption) override;
    void SetLabelVisible(int index, bool visible) override;
    void RefreshLabel(int index) override;
    void AddLogLine(const std::string& line) override;
    int32_t ProgressValue() override;
    int32_t ProgressMax() override;
    int32_t ProgressMin() override;
    void SetProgressValue(int32_t value) override;
    void Refresh() override;
    void SetExtendedStyle(uint32_t style) override;
    void SetLayeredAlpha(uint8_t alpha) override;
    void BeginPass(const std::string& reason) override;
    void EndPass() override;
    void ShowModal() override;

    bool IsOpen() const { return IsWindow(Handle()) != FALSE; }
    UpdateControls& Controls() { return *controls_; }
    PassGuard& Guard() { return *guard_; }

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

    void LoadIcons();

    HINSTANCE instance_;
    FrmUpdate& form_;
    FormBackdrop backdrop_;
    std::unique_ptr<UpdateControls> controls_;
    std::unique_ptr<UpdateLayout> layout_;
    std::unique_ptr<PassGuard> guard_;
    ScopedIcon bigIcon_;
    ScopedIcon smallIcon_;
    HWND focus_ = nullptr;
    bool activated_ = false;
    bool closed_ = false;
};

}  // namespace kiv
