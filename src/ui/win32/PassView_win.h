#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/WindowThread_win.h"
#include "ui/IUpdateView.h"

namespace kiv {

class UpdateWindow;

// Posted to the update window by the pass's thread: the pass is over.
constexpr UINT kPassEnded = WM_APP + 12;
constexpr UINT_PTR kFrameTimer = 1;

// The update window as the form sees it. A change made on the window's thread goes on screen
// at once. The pass runs on a thread of its own: what it changes is handed over to the
// window's thread, which puts it on screen as its own paint, once per display frame at most;
// a box or the mouse pointer is asked of the window's thread and waited for
// (WindowThread_win.h). The window's thread only ever runs its message loop, so it answers
// other programs at every moment.
class PassView final : public IUpdateView, private IWindowThread {
public:
    explicit PassView(UpdateWindow& window);
    ~PassView() override;
    PassView(const PassView&) = delete;
    PassView& operator=(const PassView&) = delete;

    void SetLabelCaption(int index, const std::string& caption) override;
    void SetLabelVisible(int index, bool visible) override;
    void AddLogLine(const std::string& line) override;
    int32_t ProgressValue() override;
    int32_t ProgressMax() override;
    int32_t ProgressMin() override;
    void SetProgressValue(int32_t value) override;
    void Refresh() override;
    void SetExtendedStyle(uint32_t style) override;
    void SetLayeredAlpha(uint8_t alpha) override;
    void RunPass(const std::string& reason, std::function<void()> pass) override;
    void ShowModal() override;

    // On the window's thread: a frame's time has passed, the pass is over.
    void Frame();
    void OnPassEnded();

private:
    // What the pass changed since the last frame.
    struct Changes {
        std::map<int, std::wstring> captions;
        std::map<int, bool> visible;
        std::vector<std::wstring> lines;
        std::optional<int32_t> progress;
    };

    HWND Window() override;
    void BeforeBox() override;
    void AfterBox() override;

    template <typename Change>
    void HandOver(Change change);
    static DWORD WINAPI PassThread(void* view);

    UpdateWindow& window_;
    const DWORD windowThread_;
    std::function<void()> pass_;
    std::mutex mutex_;
    Changes changes_;       // under mutex_
    bool pending_ = false;  // under mutex_: changes_ holds what the screen does not show
    std::atomic<int32_t> progress_;
    const int32_t progressMin_, progressMax_;
};

}  // namespace kiv
