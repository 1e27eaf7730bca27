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

namespace kiv {

// Labels of the update window, by their index in the control array.
namespace label {
constexpr int Emblem = 0;   // "kiv"
constexpr int Bitness = 1;  // "64-bit"
constexpr int Heading = 2;  // "Updating Software..."
constexpr int File = 8;     // the file at hand
constexpr int Step = 21;    // the step at hand
}  // namespace label

}  // namespace kiv
