#include "Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace kiv::e2e {

namespace {

constexpr wchar_t kWindowClass[] = L"KivUpdateWindow";
constexpr wchar_t kBoxClass[] = L"#32770";
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 20;
constexpr int kWineBoxIconId = 0x0440;
// A window that does not answer within this time is busy (the pass lets no message
// through while it runs); the caller polls again.
constexpr UINT kAnswerMs = 500;

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    if (pid != search.pid || !IsWindowVisible(window) || GetClassNameW(window, name, 64) == 0 ||
        wcscmp(name, search.className) != 0) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND VisibleWindowOf(DWORD pid, const wchar_t* className) {
    Search search{pid, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (window == nullptr || SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                                 kAnswerMs, &result) == 0) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

std::string Describe(const Box& box) {
    return "a message box is showing, titled \"" + box.title + "\": \"" + box.text + "\"";
}

}  // namespace

std::wstring Wide(const std::string& text) {
    const int length = static_cast<int>(text.size());
    std::wstring result(
        static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(),
                        static_cast<int>(result.size()));
    return result;
}

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring KivUpdatePath() {
    return OwnFolder() + L"\\kivupdate.exe";
}

std::wstring KivUpdateCommandLine(const std::wstring& argumentText) {
    const std::wstring program = L"\"" + KivUpdatePath() + L"\"";
    return argumentText.empty() ? program : program + L" " + argumentText;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += "[" + line + "]\n";
    }
    return text;
}

Driver::Driver(const std::wstring& commandLine) {
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_ != nullptr) {
        // Should the test itself die, closing the job's last handle ends what it started.
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    std::wstring line = commandLine;  // CreateProcessW may write into its command line
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
        status_ = "CreateProcessW failed with error " + std::to_string(GetLastError()) + " for " +
                  Utf8(commandLine);
        return;
    }
    if (job_ != nullptr && !AssignProcessToJobObject(job_, info.hProcess)) {
        CloseHandle(job_);
        job_ = nullptr;
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
}

Driver::~Driver() {
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    if (job_ != nullptr) {
        TerminateJobObject(job_, 1);
        WaitForDescendants(5000);
        CloseHandle(job_);
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

bool Driver::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Driver::WaitForWindow(DWORD timeoutMs) {
    if (!Started()) {
        return nullptr;
    }
    std::optional<Box> box;
    Within(timeoutMs, [&] {
        window_ = VisibleWindowOf(pid_, kWindowClass);
        box = window_ == nullptr ? FindBox() : std::nullopt;
        return window_ != nullptr || box || !Running();
    });
    if (window_ != nullptr) {
        return window_;
    }
    DWORD code = 0;
    if (box) {
        status_ = Describe(*box) + " instead of the update window";
    } else if (!Running() && GetExitCodeProcess(process_, &code)) {
        status_ = "the program ended with exit code " + std::to_string(code) +
                  " without showing its update window";
    } else {
        status_ = "no visible update window after " + std::to_string(timeoutMs) + " ms";
    }
    return nullptr;
}

PassEnd Driver::WaitForPassEnd(DWORD timeoutMs) {
    if (window_ == nullptr && WaitForWindow(timeoutMs) == nullptr) {
        if (FindBox()) {
            return PassEnd::BoxShown;
        }
        return Running() ? PassEnd::TimedOut : PassEnd::Exited;
    }
    PassEnd end = PassEnd::TimedOut;
    std::vector<std::string> last;
    Within(timeoutMs, [&] {
        if (auto box = FindBox()) {
            status_ = Describe(*box);
            end = PassEnd::BoxShown;
            return true;
        }
        if (!Running()) {
            status_ = "the program ended during the pass";
            end = PassEnd::Exited;
            return true;
        }
        if (auto lines = Lines()) {
            last = *lines;
        }
        const size_t n = last.size();
        if (n >= 2 && last[n - 1] == " ..." && last[n - 2] == " ...") {
            end = PassEnd::Finished;
            return true;
        }
        return false;
    });
    if (end == PassEnd::TimedOut) {
        status_ = "the pass did not end within " + std::to_string(timeoutMs) +
                  " ms; the log read:\n" + Joined(last);
    }
    return end;
}

std::optional<Box> Driver::FindBox() const {
    const HWND handle = Started() ? VisibleWindowOf(pid_, kBoxClass) : nullptr;
    if (handle == nullptr) {
        return std::nullopt;
    }
    Box box;
    box.handle = handle;
    box.title = Utf8(TextOf(handle));
    std::wstring text(8192, L'\0');
    text.resize(GetDlgItemTextW(handle, kBoxTextId, text.data(), static_cast<int>(text.size())));
    box.text = Utf8(text);
    // The icon of a box is a static control, id 20 on Windows and stc1 under wine; a box
    // without one hides the control or gives it no icon.
    for (int id : {kBoxIconId, kWineBoxIconId}) {
        const HWND icon = GetDlgItem(handle, id);
        box.icon = box.icon || (icon != nullptr && IsWindowVisible(icon) &&
                                Ask(icon, STM_GETICON).value_or(0) != 0);
    }
    return box;
}

std::optional<Box> Driver::WaitForBox(DWORD timeoutMs) {
    std::optional<Box> box;
    Within(timeoutMs, [&] {
        box = FindBox();
        return box.has_value() || !Running();
    });
    if (!box) {
        status_ = Running() ? "no message box within " + std::to_string(timeoutMs) + " ms"
                            : "the program ended without a message box";
    }
    return box;
}

void Driver::Answer(const Box& box) {
    PostMessageW(box.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.handle, IDOK)));
    Within(5000, [&] { return !IsWindow(box.handle) || !IsWindowVisible(box.handle); });
}

HWND Driver::Control(int id) const {
    return window_ ? GetDlgItem(window_, id) : nullptr;
}

std::string Driver::Caption(int labelIndex) const {
    const HWND label = Control(kLabelBase + labelIndex);
    return label ? Utf8(TextOf(label)) : "<no Label(" + std::to_string(labelIndex) + ")>";
}

bool Driver::Visible(int labelIndex) const {
    return IsWindowVisible(Control(kLabelBase + labelIndex)) != FALSE;
}

std::string Driver::ControlText(int controlId) const {
    const HWND control = Control(controlId);
    return control ? Utf8(TextOf(control)) : "<no control " + std::to_string(controlId) + ">";
}

std::optional<std::vector<std::string>> Driver::Lines() const {
    const HWND list = Control(kList1);
    const auto count = Ask(list, LB_GETCOUNT);
    if (!count || *count < 0) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (LRESULT i = 0; i < *count; ++i) {
        const auto length = Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        if (!length || *length < 0) {
            return std::nullopt;
        }
        std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
        const auto copied =
            Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (!copied || *copied < 0) {
            return std::nullopt;
        }
        text.resize(static_cast<size_t>(*copied));
        lines.push_back(Utf8(text));
    }
    return lines;
}

std::optional<int> Driver::ProgressPosition() const {
    const auto position = Ask(Control(kProgressBar), PBM_GETPOS);
    return position ? std::optional<int>(static_cast<int>(*position)) : std::nullopt;
}

std::optional<std::pair<int, int>> Driver::ProgressRange() const {
    // With a null PBRANGE the answer is the low limit for TRUE and the high one for FALSE,
    // which needs no memory shared with the other process.
    const auto low = Ask(Control(kProgressBar), PBM_GETRANGE, TRUE);
    const auto high = Ask(Control(kProgressBar), PBM_GETRANGE, FALSE);
    if (!low || !high) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<int>(*low), static_cast<int>(*high));
}

std::optional<BYTE> Driver::Alpha() const {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window_, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) {
        return std::nullopt;
    }
    return alpha;
}

void Driver::PressEnd() {
    PostMessageW(Control(kCommand1), BM_CLICK, 0, 0);
}

void Driver::Close() {
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::optional<DWORD> Driver::WaitForExit(DWORD timeoutMs) {
    DWORD code = 0;
    if (!Started() || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code)) {
        status_ = "the program did not end within " + std::to_string(timeoutMs) + " ms";
        if (auto box = FindBox()) {
            status_ += "; " + Describe(*box);
        }
        return std::nullopt;
    }
    return code;
}

bool Driver::WaitForDescendants(DWORD timeoutMs) {
    if (job_ == nullptr) {
        return !Running();
    }
    return Within(timeoutMs, [&] {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
        return QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &info,
                                         sizeof info, nullptr) &&
               info.ActiveProcesses == 0;
    });
}

}  // namespace kiv::e2e
