#pragma once

// Fixed identities of the update window, so that tests and screen readers find its parts.
namespace kiv::ui {

constexpr wchar_t kUpdateWindowClass[] = L"KivUpdateWindow";
constexpr wchar_t kUpdateWindowTitle[] = L"Updating Software...";

constexpr int kCommand1Id = 1001;
constexpr int kList1Id = 1002;
constexpr int kProgressBarId = 1003;
// Label(i) has the control id kLabelIdBase + i: Label(8) is 2008, Label(21) is 2021.
constexpr int kLabelIdBase = 2000;

constexpr int LabelId(int index) {
    return kLabelIdBase + index;
}

}  // namespace kiv::ui
