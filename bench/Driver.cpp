// The benchmark's driver: starts one program the same way for every measurement and
// watches it from outside, as the end-to-end driver does.
//
//   kivbench kiv EXE INSTALL_FOLDER [--probe] [--timeout SECONDS]
//       runs kivupdate on an installation: the first painted window, the end of the pass
//       (both labels " ..." and painted), the peak working set; with --probe, a second
//       thread sends WM_NULL with a 2 s limit all along and reports the longest answer.
//       Presses "End" after the pass.
//   kivbench window EXE
//       the first painted window of a program that only opens one; closes it.
//   kivbench run COMMAND_LINE
//       a console program from start to exit (for xcopy, which cannot time itself).
//
// Prints key=value lines; exits non-zero when the measurement failed.
#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

// The program's own identities of its window and controls.
#include "ui/Controls.h"
#include "ui/FrmUpdate.h"

namespace {

using kiv::ui::kCommand1Id;
constexpr int kFileLabel = kiv::ui::LabelId(kiv::label::File);
constexpr int kStepLabel = kiv::ui::LabelId(kiv::label::Step);
constexpr UINT kProbeLimitMs = 2000;
constexpr DWORD kProbeGapMs = 20;

LARGE_INTEGER g_frequency;
LARGE_INTEGER g_start;

double Elapsed() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - g_start.QuadPart) * 1000.0 / g_frequency.QuadPart;
}

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    if (pid == search.pid && GetClassNameW(window, name, 64) > 0 &&
        wcscmp(name, search.className) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const wchar_t* className) {
    Search search{pid, className, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Shown, and its own client area painted. The labels are children that the pass repaints
// while it runs, so they do not take part: the form paints everything beneath them.
bool Painted(HWND window) {
    return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

bool Shows(HWND label, const wchar_t* text) {
    wchar_t caption[16] = {};
    GetWindowTextW(label, caption, 16);
    return wcscmp(caption, text) == 0 && !GetUpdateRect(label, nullptr, FALSE);
}

struct Started {
    PROCESS_INFORMATION process = {};
    bool ok = false;
};

Started Start(std::wstring commandLine) {
    Started started;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    QueryPerformanceCounter(&g_start);
    started.ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &started.process) != FALSE;
    if (started.ok) {
        CloseHandle(started.process.hThread);
    } else {
        fwprintf(stderr, L"cannot start %ls (%lu)\n", commandLine.c_str(), GetLastError());
    }
    return started;
}

bool Exited(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// Until the window of the class is shown and painted; nullptr when the program ended or
// the time ran out.
HWND WaitForPaintedWindow(const Started& started, const wchar_t* className, double limitMs) {
    HWND window = nullptr;
    while (Elapsed() < limitMs && !Exited(started.process.hProcess)) {
        if (!window) {
            window = WindowOf(started.process.dwProcessId, className);
        }
        if (window && Painted(window)) {
            return window;
        }
        Sleep(1);
    }
    return nullptr;
}

void Finish(const Started& started, DWORD waitMs) {
    if (WaitForSingleObject(started.process.hProcess, waitMs) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.hProcess, 99);
        WaitForSingleObject(started.process.hProcess, 5000);
    }
    CloseHandle(started.process.hProcess);
}

// Sends WM_NULL with the 2 s limit, one after another, until told to stop.
class Probe {
public:
    explicit Probe(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  DWORD_PTR result = 0;
                  const double sent = Elapsed();
                  const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                                            kProbeLimitMs, &result) != 0;
                  const double took = Elapsed() - sent;
                  ++sent_;
                  if (!answered) {
                      ++unanswered_;
                  }
                  if (took > longest_) {
                      longest_ = took;
                  }
                  Sleep(kProbeGapMs);
              }
          }) {}
    void Stop() {
        stop_ = true;
        thread_.join();
    }
    void Print() const {
        wprintf(L"probe_sent=%d\nprobe_unanswered=%d\nprobe_longest_ms=%.1f\n", sent_.load(),
                unanswered_.load(), longest_.load());
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> sent_{0};
    std::atomic<int> unanswered_{0};
    std::atomic<double> longest_{0};
    std::thread thread_;
};

int RunKiv(const std::wstring& exe, const std::wstring& install, bool probe, double timeoutMs) {
    const Started started = Start(L"\"" + exe + L"\" " + install);
    if (!started.ok) {
        return 1;
    }
    const HWND window = WaitForPaintedWindow(started, kiv::ui::kUpdateWindowClass, 30000);
    if (!window) {
        fwprintf(stderr, L"no painted window\n");
        Finish(started, 0);
        return 1;
    }
    const double firstPaint = Elapsed();
    Probe* prober = probe ? new Probe(window) : nullptr;
    const HWND file = GetDlgItem(window, kFileLabel);
    const HWND step = GetDlgItem(window, kStepLabel);
    double passEnd = -1;
    while (Elapsed() < timeoutMs && !Exited(started.process.hProcess)) {
        if (Shows(file, L" ...") && Shows(step, L" ...")) {
            passEnd = Elapsed();
            break;
        }
        if (WindowOf(started.process.dwProcessId, L"#32770")) {
            fwprintf(stderr, L"a message box is showing\n");
            break;
        }
        Sleep(2);
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    const bool measured = GetProcessMemoryInfo(started.process.hProcess, &memory, sizeof(memory));
    if (prober) {
        prober->Stop();
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kCommand1Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, kCommand1Id)));
    Finish(started, 10000);
    if (passEnd < 0) {
        fwprintf(stderr, L"the pass did not end\n");
        delete prober;
        return 1;
    }
    wprintf(L"first_paint_ms=%.1f\npass_end_ms=%.1f\npass_ms=%.1f\n", firstPaint, passEnd,
            passEnd - firstPaint);
    if (measured) {
        wprintf(L"peak_working_set_mb=%.2f\n", memory.PeakWorkingSetSize / 1048576.0);
    }
    if (prober) {
        prober->Print();
        delete prober;
    }
    return 0;
}

int RunWindow(const std::wstring& exe) {
    const Started started = Start(L"\"" + exe + L"\"");
    if (!started.ok) {
        return 1;
    }
    const HWND window = WaitForPaintedWindow(started, L"KivBenchMinimalWindow", 30000);
    const double firstPaint = Elapsed();
    if (window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    Finish(started, 10000);
    if (!window) {
        fwprintf(stderr, L"no painted window\n");
        return 1;
    }
    wprintf(L"first_paint_ms=%.1f\n", firstPaint);
    return 0;
}

int RunCommand(const std::wstring& commandLine) {
    const Started started = Start(commandLine);
    if (!started.ok) {
        return 1;
    }
    WaitForSingleObject(started.process.hProcess, INFINITE);
    const double took = Elapsed();
    DWORD code = 0;
    GetExitCodeProcess(started.process.hProcess, &code);
    CloseHandle(started.process.hProcess);
    wprintf(L"loop_ms=%.1f\nexit_code=%lu\n", took, code);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    QueryPerformanceFrequency(&g_frequency);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"kiv" && argc >= 4) {
        bool probe = false;
        double timeoutMs = 600000;
        for (int i = 4; i < argc; ++i) {
            if (wcscmp(argv[i], L"--probe") == 0) {
                probe = true;
            } else if (wcscmp(argv[i], L"--timeout") == 0 && i + 1 < argc) {
                timeoutMs = 1000.0 * wcstod(argv[++i], nullptr);
            }
        }
        return RunKiv(argv[2], argv[3], probe, timeoutMs);
    }
    if (mode == L"window" && argc == 3) {
        return RunWindow(argv[2]);
    }
    if (mode == L"run" && argc == 3) {
        return RunCommand(argv[2]);
    }
    fwprintf(stderr,
             L"usage: kivbench kiv EXE INSTALL [--probe] [--timeout S] | window EXE | run CMD\n");
    return 2;
}
