#include "ui/win32/UpdateControls_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Strconv_win.h"
#include "ui/Controls.h"
#include "ui/FrmUpdate.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

// Made in tab order (the progress bar, the list, the button): the first made is the
// first reached by Tab and lies on top, above the labels.
UpdateControls::UpdateControls(HINSTANCE instance, HWND window, FormBackdrop& backdrop)
    : instance_(instance),
      window_(window),
      progressBar_(window, ui::kProgressBarId, layout::kProgressBarColor) {
    logList_.Attach(CreateControl(L"LISTBOX", nullptr,
                                  WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  WS_EX_CLIENTEDGE, ui::kList1Id));
    command1_ = CreateControl(L"BUTTON", L"End", WS_TABSTOP | BS_PUSHBUTTON, 0, ui::kCommand1Id);
    CreateLabels(backdrop);
}

bool UpdateControls::IsLabel(HWND control) const {
    for (const auto& [index, label] : labels_) {
        if (label.Handle() == control) {
            return true;
        }
    }
    return false;
}

HWND UpdateControls::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style,
                                   DWORD exStyle, int id) {
    const HWND control = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (!control) {
        throw LastError();
    }
    return control;
}

void UpdateControls::CreateLabels(FormBackdrop& backdrop) {
    const auto& captions = FrmUpdate::DesignCaptions();
    for (const auto& label : layout::kLabels) {
        auto placed =
            labels_.try_emplace(label.index, window_, ui::LabelId(label.index), label.color,
                                ToWide(captions.at(label.index)), label.visible);
        placed.first->second.SetBackdrop(&backdrop);
    }
}

}  // namespace kiv
