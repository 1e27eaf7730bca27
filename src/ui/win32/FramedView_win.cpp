#include "ui/win32/FramedView_win.h"

#include "platform/win32/Strconv_win.h"
#include "ui/win32/UpdateWindow_win.h"

namespace kiv {

FramedView::FramedView(UpdateWindow& window) : window_(window) {
    QueryPerformanceFrequency(&frequency_);
    SetPumpHost(this);
}

FramedView::~FramedView() {
    SetPumpHost(nullptr);
}

bool FramedView::PassRunning() const {
    return window_.Guard().PassRunning();
}

// The pass runs inside the form's activation handler. While it runs, the window shows
// its changes frame by frame and keeps answering what other programs send it.
void FramedView::BeginPass(const std::string& reason) {
    window_.BeginPass(reason);
    QueryPerformanceCounter(&lastFrame_);
}

void FramedView::EndPass() {
    BeforeBlocking();  // the pass's last changes, on screen before any request is carried out
    window_.EndPass();
}

void FramedView::FrameIfDue() {
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    if ((now.QuadPart - lastFrame_.QuadPart) * 1000 >= kDisplayFrameMs * frequency_.QuadPart) {
        Frame();
    }
}

void FramedView::Frame() {
    QueryPerformanceCounter(&lastFrame_);
    UpdateControls& controls = window_.Controls();
    // Each label takes its latest caption once; sizing it invalidates what it uncovers.
    for (const auto& [index, caption] : pendingCaptions_) {
        controls.LabelAt(index).SetCaption(caption);
    }
    pendingCaptions_.clear();
    controls.Bar().Flush();
    controls.List().ShowHeld();
    RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    AnswerSentMessages();
}

// Before a wait, a message box or a round of events everything held back is painted,
// and the list paints itself again should the window be uncovered meanwhile.
void FramedView::BeforeBlocking() {
    if (PassRunning() && window_.IsOpen()) {
        Frame();
        window_.Controls().List().LetGo();
    }
}

HWND FramedView::BoxOwner() {
    return window_.Handle();
}

bool FramedView::TakeQueuedInput(bool requestsCount) {
    return window_.Guard().TakeQueuedInput(requestsCount);
}

void FramedView::SetLabelCaption(int index, const std::string& caption) {
    if (!PassRunning()) {
        window_.SetLabelCaption(index, caption);
        return;
    }
    pendingCaptions_[index] = ToWide(caption);
    FrameIfDue();
}

void FramedView::SetLabelVisible(int index, bool visible) {
    window_.SetLabelVisible(index, visible);
}

void FramedView::RefreshLabel(int index) {
    if (!PassRunning()) {
        window_.RefreshLabel(index);
        return;
    }
    FrameIfDue();  // painted with the frame, at most one frame later
}

void FramedView::AddLogLine(const std::string& line) {
    if (!PassRunning()) {
        window_.AddLogLine(line);
        return;
    }
    window_.Controls().List().Hold();
    window_.AddLogLine(line);
    FrameIfDue();
}

int32_t FramedView::ProgressValue() {
    return window_.ProgressValue();
}

int32_t FramedView::ProgressMax() {
    return window_.ProgressMax();
}

int32_t FramedView::ProgressMin() {
    return window_.ProgressMin();
}

void FramedView::SetProgressValue(int32_t value) {
    if (!PassRunning()) {
        window_.SetProgressValue(value);
        return;
    }
    window_.Controls().Bar().SetValueLater(value);
    FrameIfDue();
}

void FramedView::Refresh() {
    if (!PassRunning()) {
        window_.Refresh();
        return;
    }
    // Everything on screen but what the pass holds back is current, and a frame paints
    // exactly that: repainting the rest again would show the same.
    Frame();
}

void FramedView::SetExtendedStyle(uint32_t style) {
    window_.SetExtendedStyle(style);
}

void FramedView::SetLayeredAlpha(uint8_t alpha) {
    window_.SetLayeredAlpha(alpha);
}

void FramedView::ShowModal() {
    window_.ShowModal();
}

}  // namespace kiv
