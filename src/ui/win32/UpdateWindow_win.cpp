#include "ui/win32/UpdateWindow_win.h"

#include <commctrl.h>

#include "platform/ErrorTrap.h"
#include "platform/ExitCodes.h"
#include "platform/IRuntime.h"
#include "platform/Ports.h"
#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/WindowThread_win.h"
#include "ui/Controls.h"
#include "ui/FrmUpdate.h"
#include "ui/win32/Dpi_win.h"
#include "ui/win32/PassView_win.h"
#include "ui/win32/ProgramIcon_win.h"

namespace kiv {

namespace {

// Posted on the first activation, so that the window is up before the form's
// activation handler (and with it the whole update pass) runs.
constexpr UINT kFirstActivation = WM_APP + 1;

}  // namespace

UpdateWindow::UpdateWindow(HINSTANCE instance, FrmUpdate& form) : instance_(instance), form_(form) {
    const HWND window =
        Create(instance_, ui::kUpdateWindowClass, ui::kUpdateWindowTitle, layout::kWindowStyle);
    if (!window) {
        throw LastError();
    }
    // The controls are made here rather than in WM_CREATE, so that a failure can travel
    // as an exception without crossing the system's frames.
    controls_ = std::make_unique<UpdateControls>(instance_, window, backdrop_);
    LoadIcons();
    layout_ = std::make_unique<UpdateLayout>(instance_, window, *controls_, backdrop_);
    layout_->Apply(DpiOfWindow(window), nullptr);
    input_ = std::make_unique<PassInput>(window, controls_->Command1());
}

// The window goes before the labels and fonts its children use.
UpdateWindow::~UpdateWindow() {
    Destroy();
}

LRESULT UpdateWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = Handle();
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
            OnRequest(input_->Arrive(Request::Close));
            return 0;
        case WM_QUERYENDSESSION:
            return input_->MaySessionEnd() ? TRUE : FALSE;
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
        // The pass's view is there before the window takes any message.
        case WM_TIMER:
            passView_->Frame();  // the one timer
            return 0;
        case kPassEnded:
            passView_->OnPassEnded();
            return 0;
        case kRunOnWindowThread:
            OnRunOnWindowThread(lParam);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void UpdateWindow::LoadIcons() {
    // A program without the icon resource (a test) shows no picture and the default icon.
    bigIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadProgramIcon(instance_, GetSystemMetrics(SM_CXSMICON));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void UpdateWindow::OnPaint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(Handle(), &paint);
    // Only what needs painting, copied from the form's painting kept aside.
    if (dc) {
        backdrop_.Draw(dc, paint.rcPaint);
    }
    EndPaint(Handle(), &paint);
}

void UpdateWindow::OnPrintClient(HDC dc) {
    RECT client = {};
    GetClientRect(Handle(), &client);
    backdrop_.Draw(dc, client);
}

void UpdateWindow::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) {
            focus_ = focus;
        }
        return;
    }
    // The focus goes back where it was, or to the first control in tab order.
    SetFocus(focus_ ? focus_ : controls_->Bar().Handle());
    if (!activated_) {
        activated_ = true;
        PostMessageW(Handle(), kFirstActivation, 0, 0);
    }
}

void UpdateWindow::OnFirstActivation() {
    RunEvent([this] { form_.Form_Activate(); });
}

void UpdateWindow::BeginPass(const std::string& reason) {
    input_->BeginPass(ToWide(reason));
}

void UpdateWindow::EndPass() {
    RunEvent([this] { OnRequest(input_->EndPass()); });
}

void UpdateWindow::OnQuit() {
    RunEvent([this] { OnRequest(input_->Arrive(Request::Close)); });
}

void UpdateWindow::OnRunOnWindowThread(LPARAM task) {
    (*reinterpret_cast<const std::function<void()>*>(task))();
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

void UpdateWindow::OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) == ui::kCommand1Id && HIWORD(wParam) == BN_CLICKED) {
        const Request request = input_->Arrive(Request::End);
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
    if (controls_ && controls_->IsLabel(control)) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return DefWindowProcW(Handle(), WM_CTLCOLORSTATIC, wParam, lParam);
}

void UpdateWindow::OnClose() {
    DestroyWindow(Handle());
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
    layout_->Apply(dpi, &topLeft);
}

void UpdateWindow::ShowModal() {
    RunEvent([this] { form_.Form_Load(); });
    ShowWindow(Handle(), SW_SHOW);
    MSG message = {};
    while (!closed_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got < 0) {
            break;
        }
        if (got == 0) {
            OnQuit();
            continue;
        }
        // A window destroyed by a message sent while the loop waited takes no more; Tab and
        // Shift+Tab move between the controls as in a dialog.
        if (!closed_ && !input_->Take(message) && !IsDialogMessageW(Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace kiv
