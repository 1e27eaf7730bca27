#include "ui/win32/PassView_win.h"

#include <type_traits>
#include <utility>

#include "platform/ErrorTrap.h"
#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Strconv_win.h"
#include "ui/win32/UpdateWindow_win.h"

namespace kiv {

namespace {

// A display frame: what the pass hands over reaches the screen at most this often.
constexpr UINT kDisplayFrameMs = 16;

}  // namespace

PassView::PassView(UpdateWindow& window)
    : window_(window),
      windowThread_(GetCurrentThreadId()),
      progress_(window.Controls().Bar().Value()),
      progressMin_(window.Controls().Bar().Minimum()),
      progressMax_(window.Controls().Bar().Maximum()) {
    SetWindowThread(this);
}

PassView::~PassView() {
    SetWindowThread(nullptr);
}

HWND PassView::Window() {
    return window_.Handle();
}

// Starts the pass's thread. Its handle is let go of at once: the program's end never waits
// for it, and an end (by the session) takes it with the process. Until the pass is over, the
// window's thread puts what it handed over on screen once a display frame, when it has
// nothing else to do (a timer's message comes only then).
void PassView::RunPass(const std::string& reason, std::function<void()> pass) {
    window_.BeginPass(reason);
    pass_ = std::move(pass);
    SetTimer(window_.Handle(), kFrameTimer, kDisplayFrameMs, nullptr);
    const HANDLE thread = CreateThread(nullptr, 0, PassThread, this, 0, nullptr);
    if (!thread) {
        throw LastError();  // reported as unhandled: a system without a thread to give
    }
    CloseHandle(thread);
}

DWORD WINAPI PassView::PassThread(void* view) {
    static_assert(std::is_same_v<decltype(&PassView::PassThread), LPTHREAD_START_ROUTINE>);
    auto& self = *static_cast<PassView*>(view);
    RunEvent(self.pass_);
    PostMessageW(self.window_.Handle(), kPassEnded, 0, 0);
    return 0;
}

void PassView::OnPassEnded() {
    KillTimer(window_.Handle(), kFrameTimer);
    Frame();  // the pass's last changes, on screen before any request is carried out
    window_.EndPass();
}

// Every change is written down; the window's thread puts it on screen at once, the pass's
// thread leaves it for the next frame.
template <typename Change>
void PassView::HandOver(Change change) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        change(changes_);
        pending_ = true;
    }
    if (GetCurrentThreadId() == windowThread_) {
        Frame();
    }
}

// Each label takes its latest caption once; the log's new lines are drawn as far as they
// change what shows.
void PassView::Frame() {
    Changes changes;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!std::exchange(pending_, false)) {
            return;
        }
        std::swap(changes, changes_);
    }
    UpdateControls& controls = window_.Controls();
    for (const auto& [index, caption] : changes.captions) {
        controls.LabelAt(index).SetCaption(caption);
    }
    for (const auto& [index, visible] : changes.visible) {
        controls.LabelAt(index).SetVisible(visible);
    }
    if (changes.progress) {
        controls.Bar().SetValue(*changes.progress);
    }
    if (!changes.lines.empty()) {
        controls.List().Hold();
        for (const std::wstring& line : changes.lines) {
            controls.List().Add(line);
        }
        controls.List().ShowHeld();
        controls.List().Release();
    }
    RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Before a box, what the pass changed is on screen, and a quit another program posted is a
// request to close, not the box's answer.
void PassView::BeforeBox() {
    if (!window_.Input().PassRunning()) {
        return;
    }
    Frame();
    MSG quit = {};
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        window_.OnQuit();
    }
    window_.Input().TakeQueued(true);
}

// Input that reached the disabled window while the box was up answers nothing.
void PassView::AfterBox() {
    window_.Input().TakeQueued(false);
}

void PassView::SetLabelCaption(int index, const std::string& caption) {
    HandOver([&](Changes& changes) { changes.captions[index] = ToWide(caption); });
}

void PassView::SetLabelVisible(int index, bool visible) {
    HandOver([&](Changes& changes) { changes.visible[index] = visible; });
}

void PassView::AddLogLine(const std::string& line) {
    HandOver([&](Changes& changes) { changes.lines.push_back(ToWide(line)); });
}

// The form reads back what it set, never the control, which only the window's thread may
// ask; the range is the control's, fixed when it was made.
int32_t PassView::ProgressValue() {
    return progress_;
}

int32_t PassView::ProgressMax() {
    return progressMax_;
}

int32_t PassView::ProgressMin() {
    return progressMin_;
}

void PassView::SetProgressValue(int32_t value) {
    // Kept inside the range, as the control keeps it.
    progress_ = value < progressMin_ ? progressMin_ : value > progressMax_ ? progressMax_ : value;
    HandOver([&](Changes& changes) { changes.progress = progress_.load(); });
}

// The window's thread paints whatever is not current as its own paint.
void PassView::Refresh() {
    HandOver([](Changes&) {});
}

void PassView::SetExtendedStyle(uint32_t style) {
    SetWindowLongW(window_.Handle(), GWL_EXSTYLE, static_cast<LONG>(style));
}

void PassView::SetLayeredAlpha(uint8_t alpha) {
    SetLayeredWindowAttributes(window_.Handle(), 0, alpha, LWA_ALPHA);
}

void PassView::ShowModal() {
    window_.ShowModal();
}

}  // namespace kiv
