#pragma once

#include <map>

#include "platform/win32/Windows_win.h"
#include "ui/win32/Label_win.h"
#include "ui/win32/LogList_win.h"
#include "ui/win32/ProgressBar_win.h"

namespace kiv {

class FormBackdrop;

// The update window's controls, made with their design captions and no size yet: the
// layout places them.
class UpdateControls {
public:
    // Raises RuntimeError when a control cannot be made.
    UpdateControls(HINSTANCE instance, HWND window, FormBackdrop& backdrop);
    UpdateControls(const UpdateControls&) = delete;
    UpdateControls& operator=(const UpdateControls&) = delete;

    HWND Command1() const { return command1_; }
    LogList& List() { return logList_; }
    ProgressBar& Bar() { return progressBar_; }
    Label& LabelAt(int index) { return labels_.at(index); }
    bool IsLabel(HWND control) const;

private:
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                       int id);
    void CreateLabels(FormBackdrop& backdrop);

    HINSTANCE instance_;
    HWND window_;
    // Made in this order, which is the tab order.
    ProgressBar progressBar_;
    LogList logList_;
    HWND command1_ = nullptr;
    std::map<int, Label> labels_;
};

}  // namespace kiv
