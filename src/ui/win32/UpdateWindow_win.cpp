#include "ui/win32/UpdateWindow_win.h"

#include <commctrl.h>

#include <utility>

#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/Strconv_win.h"
#include "resource.h"
#include "startup/ExitCodes.h"
#include "startup/ModUpdate.h"
#include "ui/Controls.h"
#include "ui/FrmUpdate.h"
#include "ui/win32/Dpi_win.h"
#include "ui/win32/FormPainter_win.h"
#include "ui/win32/UpdateLayout_win.h"

namespace kiv {

namespace {

// Posted on the first activation, so that the window is up before the form's
// activation handler (and with it the whole update pass) runs.
constexpr UINT kFirstActivation = WM_APP + 1;

// A display frame: held-back changes reach the screen at least this often.
constexpr LONGLONG kFrameMs = 16;

// No caption, no system menu, no sizing: a thin border around a fixed client area.
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, ui::kUpdateWindowClass, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ui::kUpdateWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        throw LastError();
    }
}

ScopedIcon LoadProgramIcon(HINSTANCE instance, int size) {
    return ScopedIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KIVUPDATE),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

RECT PixelsOf(const layout::TwipRect& r, UINT dpi) {
    return TwipsToRect(r.left, r.top, r.width, r.height, dpi);
}

void Place(HWND control, const layout::TwipRect& r, UINT dpi) {
    const RECT place = PixelsOf(r, dpi);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

UpdateWindow::UpdateWindow(HINSTANCE instance, FrmUpdate& form) : instance_(instance), form_(form) {
    RegisterWindowClass(instance_, WindowProc);
    const HWND window = CreateWindowExW(0, ui::kUpdateWindowClass, ui::kUpdateWindowTitle, kStyle,
                                        0, 0, 0, 0, nullptr, nullptr, instance_, this);
    if (!window) {
        throw LastError();
    }
    // The controls are made here rather than in WM_CREATE, so that a failure can travel
    // as an exception without crossing the system's frames.
    CreateControls();
    LoadIcons();
    ApplyLayout(DpiOfWindow(window_.Get()), nullptr);
    QueryPerformanceFrequency(&frequency_);
    guard_ = std::make_unique<PassGuard>(window_.Get(), command1_);
    SetPumpHost(this);
}

// The window goes before the labels and fonts its children use.
UpdateWindow::~UpdateWindow() {
    SetPumpHost(nullptr);
    window_.Reset();
}

LRESULT CALLBACK UpdateWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<UpdateWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.Reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<UpdateWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.Release();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT UpdateWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_.Get();
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;  // painted with the rest in WM_PAINT, without flicker
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            OnPrintClient(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case kFirstActivation:
            OnFirstActivation();
            return 0;
        case WM_COMMAND:
            OnCommand(wParam);
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor()) {
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                    wParam, lParam);
        case WM_SYSCOMMAND:
            // Taken here: the system's own handling ignores it while a box disables the
            // window.
            if ((wParam & 0xFFF0) != SC_CLOSE) {
                break;
            }
            [[fallthrough]];
        case WM_CLOSE:
            OnRequest(guard_->Arrive(Request::Close));
            return 0;
        case WM_QUERYENDSESSION:
            return guard_->MaySessionEnd() ? TRUE : FALSE;
        case WM_ENDSESSION:
            return OnEndSession(wParam != FALSE);
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            backdrop_.Invalidate();
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void UpdateWindow::CreateControls() {
    // Made in tab order (the progress bar, the list, the button): the first made is the
    // first reached by Tab and lies on top, above the labels.
    progressBar_ =
        std::make_unique<ProgressBar>(window_.Get(), ui::kProgressBarId, layout::kProgressBarColor);
    logList_.Attach(CreateControl(L"LISTBOX", nullptr,
                                  WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                  WS_EX_CLIENTEDGE, ui::kList1Id));
    command1_ = CreateControl(L"BUTTON", L"End", WS_TABSTOP | BS_PUSHBUTTON, 0, ui::kCommand1Id);

    const auto& captions = FrmUpdate::DesignCaptions();
    for (const auto& label : layout::kLabels) {
        auto placed =
            labels_.try_emplace(label.index, window_.Get(), ui::LabelId(label.index), label.color,
                                ToWide(captions.at(label.index)), label.visible);
        placed.first->second.SetBackdrop(&backdrop_);
    }
}

HWND UpdateWindow::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style,
                                 DWORD exStyle, int id) {
    const HWND control = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_.Get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (!control) {
        throw LastError();
    }
    return control;
}

void UpdateWindow::LoadIcons() {
    // A program without the icon resource (a test) shows no picture and the default icon.
    bigIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window_.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(window_.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void UpdateWindow::ApplyLayout(UINT dpi, const POINT* topLeft) {
    dpi_ = dpi;
    // The fonts in use are replaced only once every control has the new ones.
    ScopedFont windowFont = MakeFont(layout::kWindowFont, dpi);
    ScopedFont emblemFont = MakeFont(layout::kEmblemFont, dpi);
    ScopedFont headingFont = MakeFont(layout::kHeadingFont, dpi);
    picture_ = LoadProgramIcon(instance_, TwipsToPixels(layout::kImgMain.width, dpi));
    backdrop_.Configure(window_.Get(), dpi, picture_.Get());

    RECT frame = {0, 0, TwipsToPixels(layout::kClientWidth, dpi),
                  TwipsToPixels(layout::kClientHeight, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_.Get(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred on the screen the first time; after a dpi change, where Windows suggests.
    const POINT place = topLeft ? *topLeft
                                : POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
    SetWindowPos(window_.Get(), nullptr, place.x, place.y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    Place(command1_, layout::kCommand1, dpi);
    Place(logList_.Handle(), layout::kList1, dpi);
    Place(progressBar_->Handle(), layout::kProgressBar, dpi);
    SendMessageW(command1_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.Get()), TRUE);
    SendMessageW(logList_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.Get()), TRUE);
    for (const auto& design : layout::kLabels) {
        Label& label = LabelAt(design.index);
        label.MoveTo({TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi)});
        label.SetFont(design.font == layout::LabelFont::Emblem    ? emblemFont.Get()
                      : design.font == layout::LabelFont::Heading ? headingFont.Get()
                                                                  : windowFont.Get());
    }
    windowFont_ = std::move(windowFont);
    emblemFont_ = std::move(emblemFont);
    headingFont_ = std::move(headingFont);
    InvalidateRect(window_.Get(), nullptr, FALSE);
}

Label& UpdateWindow::LabelAt(int index) {
    return labels_.at(index);
}

void UpdateWindow::OnPaint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(window_.Get(), &paint);
    // Only what needs painting, copied from the form's painting kept aside.
    if (dc && backdrop_.CopyTo(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint)) {
        EndPaint(window_.Get(), &paint);
        return;
    }
    RECT client = {};
    GetClientRect(window_.Get(), &client);
    // Drawn off screen and put on screen in one step.
    ScopedMemoryDc memory(CreateCompatibleDC(dc));
    ScopedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory && bitmap) {
        const SelectedObject canvas(memory.Get(), bitmap.Get());
        PaintUpdateForm(memory.Get(), client, dpi_, picture_.Get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    } else if (dc) {
        PaintUpdateForm(dc, client, dpi_, picture_.Get());
    }
    EndPaint(window_.Get(), &paint);
}

void UpdateWindow::OnPrintClient(HDC dc) {
    RECT client = {};
    GetClientRect(window_.Get(), &client);
    PaintUpdateForm(dc, client, dpi_, picture_.Get());
}

void UpdateWindow::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_.Get(), focus)) {
            focus_ = focus;
        }
        return;
    }
    // The focus goes back where it was, or to the first control in tab order.
    SetFocus(focus_ ? focus_ : progressBar_->Handle());
    if (!activated_) {
        activated_ = true;
        PostMessageW(window_.Get(), kFirstActivation, 0, 0);
    }
}

void UpdateWindow::OnFirstActivation() {
    RunEvent([this] { form_.Form_Activate(); });
}

// The pass runs inside the form's activation handler. While it runs, the window shows
// its changes frame by frame and keeps answering what other programs send it.
void UpdateWindow::BeginPass(const std::string& reason) {
    guard_->BeginPass(ToWide(reason));
    QueryPerformanceCounter(&lastFrame_);
}

void UpdateWindow::EndPass() {
    BeforeBlocking();  // the pass's last changes, on screen before any request is carried out
    OnRequest(guard_->EndPass());
}

bool UpdateWindow::TakeQueuedInput(bool requestsCount) {
    return guard_ && guard_->TakeQueuedInput(requestsCount);
}

void UpdateWindow::OnRequest(Request request) {
    switch (request) {
        case Request::Close:
            OnClose();
            break;
        case Request::End:
            form_.Command1_Click();
            break;
        case Request::None:
            break;
    }
}

void UpdateWindow::FrameIfDue() {
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    if ((now.QuadPart - lastFrame_.QuadPart) * 1000 >= kFrameMs * frequency_.QuadPart) {
        Frame();
    }
}

void UpdateWindow::Frame() {
    QueryPerformanceCounter(&lastFrame_);
    // Each label takes its latest caption once; sizing it invalidates what it uncovers.
    for (const auto& [index, caption] : pendingCaptions_) {
        LabelAt(index).SetCaption(caption);
    }
    pendingCaptions_.clear();
    progressBar_->Flush();
    logList_.ShowHeld();
    RedrawWindow(window_.Get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    AnswerSentMessages();
}

// Before a wait, a message box or a round of events everything held back is painted,
// and the list paints itself again should the window be uncovered meanwhile.
void UpdateWindow::BeforeBlocking() {
    if (PassRunning() && window_) {
        Frame();
        logList_.LetGo();
    }
}

void UpdateWindow::OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) == ui::kCommand1Id && HIWORD(wParam) == BN_CLICKED) {
        const Request request = guard_->Arrive(Request::End);
        RunEvent([this, request] { OnRequest(request); });
    }
    // IDOK and IDCANCEL from Enter and Esc do nothing: the form has no default or cancel
    // button.
}

bool UpdateWindow::OnSetCursor() {
    IRuntime* runtime = Platform().runtime;
    const HCURSOR cursor = CursorOfPointer(runtime ? runtime->MousePointer() : 0);
    if (!cursor) {
        return false;
    }
    SetCursor(cursor);
    return true;
}

LRESULT UpdateWindow::OnCtlColorStatic(HDC dc, HWND control, WPARAM wParam, LPARAM lParam) {
    // Labels draw themselves; should one be asked to draw as a static control after all,
    // it still leaves the form's painting visible beneath its text.
    for (const auto& [index, label] : labels_) {
        if (label.Handle() == control) {
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
    }
    return DefWindowProcW(window_.Get(), WM_CTLCOLORSTATIC, wParam, lParam);
}

void UpdateWindow::OnClose() {
    DestroyWindow(window_.Get());
}

// Whatever destroys the window, a message another program sent among them, ends the modal
// display at once: the loop may be waiting for a posted message that never comes.
void UpdateWindow::OnDestroy() {
    closed_ = true;
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

// A session that really ends takes the program with it, and nothing is started again
// then. Forced during the pass, it ends the pass where it stands.
LRESULT UpdateWindow::OnEndSession(bool ending) {
    if (ending) {
        Platform().runtime->End(exitcode::Ended);
    }
    return 0;
}

void UpdateWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    const POINT topLeft = {suggested.left, suggested.top};
    ApplyLayout(dpi, &topLeft);
}

void UpdateWindow::SetLabelCaption(int index, const std::string& caption) {
    if (!PassRunning()) {
        LabelAt(index).SetCaption(ToWide(caption));
        return;
    }
    pendingCaptions_[index] = ToWide(caption);
    FrameIfDue();
}

void UpdateWindow::SetLabelVisible(int index, bool visible) {
    LabelAt(index).SetVisible(visible);
}

void UpdateWindow::RefreshLabel(int index) {
    if (PassRunning()) {
        FrameIfDue();  // painted with the frame, at most one frame later
        return;
    }
    // The label and the part of the form around it that a shorter caption uncovered.
    const RECT bounds = LabelAt(index).Bounds();
    RedrawWindow(window_.Get(), &bounds, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void UpdateWindow::AddLogLine(const std::string& line) {
    if (PassRunning()) {
        logList_.Hold();
    }
    logList_.Add(ToWide(line));
    if (PassRunning()) {
        FrameIfDue();
    }
}

int32_t UpdateWindow::ProgressValue() {
    return progressBar_->Value();
}

int32_t UpdateWindow::ProgressMax() {
    return progressBar_->Maximum();
}

int32_t UpdateWindow::ProgressMin() {
    return progressBar_->Minimum();
}

void UpdateWindow::SetProgressValue(int32_t value) {
    if (!PassRunning()) {
        progressBar_->SetValue(value);
        return;
    }
    progressBar_->SetValueLater(value);
    FrameIfDue();
}

void UpdateWindow::Refresh() {
    if (PassRunning()) {
        // Everything on screen but what the pass holds back is current, and a frame
        // paints exactly that: repainting the rest again would show the same.
        Frame();
        return;
    }
    RedrawWindow(window_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void UpdateWindow::SetExtendedStyle(uint32_t style) {
    SetWindowLongW(window_.Get(), GWL_EXSTYLE, static_cast<LONG>(style));
}

void UpdateWindow::SetLayeredAlpha(uint8_t alpha) {
    SetLayeredWindowAttributes(window_.Get(), 0, alpha, LWA_ALPHA);
}

void UpdateWindow::ShowModal() {
    RunEvent([this] { form_.Form_Load(); });
    ShowWindow(window_.Get(), SW_SHOW);
    MSG message = {};
    while (!closed_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            break;
        }
        if (got < 0) {
            break;
        }
        // Tab and Shift+Tab move between the controls as in a dialog.
        if (!window_ || !IsDialogMessageW(window_.Get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace kiv
