#include "Harness.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "platform/win32/OwnImage_win.h"
#include "ui/Controls.h"

namespace kiv::e2e {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::wstring& path) {
    throw std::runtime_error(what + " " + Utf8(path) + ", error " + std::to_string(GetLastError()));
}

HWND VisibleWindowOf(DWORD pid, const wchar_t* className) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// A window busy in the pass answers late; the caller polls again.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!window ||
        !SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 500, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring OwnFolder() {
    const std::wstring path = ModulePath();
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring Wow64Folder() {
    const std::wstring system = SystemDirectoryW();
    return system.substr(0, system.find_last_of(L'\\')) + L"\\SysWOW64";
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    const ScopedKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return file ? std::optional(bytes) : std::nullopt;
}

void WriteNew(const std::wstring& path, const std::string& bytes, FILETIME time) {
    const ScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
        !SetFileTime(file.Get(), nullptr, nullptr, &time)) {
        Fail("cannot write a new file", path);
    }
}

void CopyBuilt(const wchar_t* name, const std::wstring& to) {
    CopyFileW((OwnFolder() + L"\\" + name).c_str(), to.c_str(), TRUE);
}

std::wstring NewTemporaryFolder() {
    static int made = 0;
    std::wstring temp(MAX_PATH, L'\0'), folder;
    temp.resize(GetTempPathW(MAX_PATH, temp.data()));
    do {  // a folder left by an earlier run of the same process id is passed over
        folder = temp + L"Kiv Aldervik \u03A9\u043C\u6F22 " +
                 std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made);
    } while (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    if (!Exists(folder)) {
        Fail("cannot create", folder);
    }
    return folder;
}

void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : Names(folder)) {
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(path.c_str())) {
            RemoveTree(path);
        }
    }
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const ScopedFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    for (BOOL more = find.Valid(); more; more = FindNextFileW(find.Get(), &entry)) {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) {
            names.push_back(entry.cFileName);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::vector<std::string>> Records(const std::wstring& path, size_t fields) {
    std::vector<std::vector<std::string>> records;
    std::istringstream lines(ReadBytes(path).value_or(""));
    for (std::string line; std::getline(lines, line);) {
        auto& record = records.emplace_back();
        for (size_t tab; record.size() + 1 < fields && (tab = line.find('\t')) != line.npos;) {
            record.push_back(line.substr(0, tab));
            line.erase(0, tab + 1);
        }
        record.push_back(line);
    }
    return records;
}

Program::Program(const std::wstring& commandLine, const wchar_t* currentFolder) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        currentFolder, &startup, &info)) {
        Fail("cannot start", commandLine);
    }
    AssignProcessToJobObject(job_.Get(), info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
}

Program::~Program() {
    TerminateJobObject(job_.Get(), 1);
    Exit(5000);
}

std::optional<Box> Program::FindBox() const {
    const HWND handle = VisibleWindowOf(pid_, L"#32770"), label = GetDlgItem(handle, 0xFFFF);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), int(text.size()))));
    return handle ? std::optional(Box{handle, Utf8(text)}) : std::nullopt;
}

std::optional<Box> Program::NextBox(DWORD timeoutMs) {
    std::optional<Box> box;
    const bool settled = Within(timeoutMs, [&] {
        box = FindBox();
        return box || PassEnded() || WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
    });
    status = settled ? ""
                     : "neither a box nor the end of the pass; the log ends [" +
                           (Log().empty() ? "" : Log().back()) + "]";
    return box;
}

void Program::Answer(const Box& box) {
    PostMessageW(box.handle, WM_COMMAND, IDOK, 0);
    Within(5000, [&] { return !IsWindowVisible(box.handle); });
}

bool Program::PassEnded() const {
    const auto log = Log();
    return log.size() > 2 && log.back() == " ..." && log[log.size() - 2] == " ...";
}

HWND Program::Window() const {
    if (!window_) {
        window_ = VisibleWindowOf(pid_, ui::kUpdateWindowClass);
    }
    return window_;
}

std::vector<std::string> Program::Log() const {
    std::vector<std::string> lines;
    const HWND list = GetDlgItem(Window(), ui::kList1Id);
    for (LRESULT i = 0, n = Ask(list, LB_GETCOUNT).value_or(0); i < n; ++i) {
        std::wstring text(static_cast<size_t>(Ask(list, LB_GETTEXTLEN, i).value_or(0)) + 1, 0);
        text.resize(static_cast<size_t>(
            Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data())).value_or(0)));
        lines.push_back(Utf8(text));
    }
    return lines;
}

std::optional<DWORD> Program::Exit(DWORD timeoutMs) {
    DWORD code = 0;
    const bool ended = Within(timeoutMs, [&] {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
        return QueryInformationJobObject(job_.Get(), JobObjectBasicAccountingInformation, &info,
                                         sizeof info, nullptr) &&
               info.ActiveProcesses == 0;
    });
    if (!ended || !GetExitCodeProcess(process_.Get(), &code)) {
        status = "the program or what it started still runs";
        return std::nullopt;
    }
    return code;
}

}  // namespace kiv::e2e
