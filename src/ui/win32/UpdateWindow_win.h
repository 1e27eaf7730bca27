#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/win32/MessagePump_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "ui/IUpdateView.h"
#include "ui/win32/FormPainter_win.h"
#include "ui/win32/Label_win.h"
#include "ui/win32/LogList_win.h"
#include "ui/win32/PassGuard_win.h"
#include "ui/win32/ProgressBar_win.h"

namespace kiv {

// The update window: a borderless, fixed-size popup laid out in twips at the window's
// dpi, whose events go to the form's logic.
class UpdateWindow final : public IUpdateView, private IPumpHost {
public:
    // Makes the window, hidden, with its controls; raises RuntimeError when it cannot.
    UpdateWindow(HINSTANCE instance, FrmUpdate& form);
    ~UpdateWindow() override;
    UpdateWindow(const UpdateWindow&) = delete;
    UpdateWindow& operator=(const UpdateWindow&) = delete;

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

    HWND Handle() const { return window_.Get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
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

    // While the pass runs, what it changes is put on screen once per display frame:
    // Frame paints every change held back, answers the messages other programs sent,
    // and is due when a frame's time has passed since the last one.
    void FrameIfDue();
    void Frame();
    bool PassRunning() const { return guard_ && guard_->PassRunning(); }

    // What the program's message loops ask of the window.
    void BeforeBlocking() override;
    HWND BoxOwner() override { return window_.Get(); }
    bool TakeQueuedInput(bool requestsCount) override;

    void CreateControls();
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                       int id);
    void LoadIcons();
    // Sizes and places the window and every control for a dpi.
    void ApplyLayout(UINT dpi, const POINT* topLeft);
    Label& LabelAt(int index);

    HINSTANCE instance_;
    FrmUpdate& form_;
    ScopedWindow window_;
    HWND command1_ = nullptr;
    LogList logList_;
    std::unique_ptr<ProgressBar> progressBar_;
    std::map<int, Label> labels_;
    ScopedFont windowFont_;
    ScopedFont emblemFont_;
    ScopedFont headingFont_;
    ScopedIcon bigIcon_;
    ScopedIcon smallIcon_;
    ScopedIcon picture_;
    FormBackdrop backdrop_;
    UINT dpi_ = 96;
    HWND focus_ = nullptr;
    bool activated_ = false;
    bool closed_ = false;
    std::unique_ptr<PassGuard> guard_;
    std::map<int, std::wstring> pendingCaptions_;
    LARGE_INTEGER frequency_ = {};
    LARGE_INTEGER lastFrame_ = {};
};

}  // namespace kiv
