#pragma once

#include <map>
#include <string>

#include "platform/win32/MessagePump_win.h"
#include "ui/IUpdateView.h"

namespace kiv {

class UpdateWindow;

// The update window as the form and the program's message loops see it. Outside the pass
// every change goes to the window at once. While the pass runs, what it changes is held
// back and put on screen once per display frame: a frame paints every change held back
// and answers the messages other programs sent, and is due when a frame's time has passed
// since the last one.
class FramedView final : public IUpdateView, private IPumpHost {
public:
    explicit FramedView(UpdateWindow& window);
    ~FramedView() override;
    FramedView(const FramedView&) = delete;
    FramedView& operator=(const FramedView&) = delete;

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

private:
    // What the program's message loops ask of the window.
    void BeforeBlocking() override;
    HWND BoxOwner() override;
    bool TakeQueuedInput(bool requestsCount) override;

    void FrameIfDue();
    void Frame();
    bool PassRunning() const;

    UpdateWindow& window_;
    std::map<int, std::wstring> pendingCaptions_;
    LARGE_INTEGER frequency_ = {};
    LARGE_INTEGER lastFrame_ = {};
};

}  // namespace kiv
