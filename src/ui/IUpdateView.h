#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kiv {

class FrmUpdate;

// The window of frmUpdate as its logic sees it. The Win32 view and the test fake both
// implement it; the logic never touches a window handle.
struct IUpdateView {
    virtual ~IUpdateView() = default;

    virtual void SetLabelCaption(int index, const std::string& caption) = 0;
    virtual void SetLabelVisible(int index, bool visible) = 0;
    virtual void AddLogLine(const std::string& line) = 0;

    virtual int32_t ProgressValue() = 0;
    virtual int32_t ProgressMax() = 0;
    virtual int32_t ProgressMin() = 0;
    virtual void SetProgressValue(int32_t value) = 0;

    // Repaints the whole window at once.
    virtual void Refresh() = 0;
    // Replaces the extended window style and sets the layered opacity; results ignored.
    virtual void SetExtendedStyle(uint32_t style) = 0;
    virtual void SetLayeredAlpha(uint8_t alpha) = 0;

    // Runs the pass, on a thread of its own where the view has one, and returns; once it is
    // over, the first close or "End" asked meanwhile is carried out. Until then a close or
    // "End" waits for its end, input that asks for neither is dropped, and the end of the
    // session is refused, with reason as what Windows shows the user.
    virtual void RunPass(const std::string& reason, std::function<void()> pass) = 0;

    // Shows the window modally: runs Form_Load, then Form_Activate on first activation,
    // and returns once the window is closed.
    virtual void ShowModal() = 0;
};

// Makes the view for a form; the Win32 one creates the window itself.
struct IViewFactory {
    virtual ~IViewFactory() = default;
    virtual IUpdateView& CreateUpdateView(FrmUpdate& form) = 0;
};

}  // namespace kiv
