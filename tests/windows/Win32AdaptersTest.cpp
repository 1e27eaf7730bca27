#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "folders/CSystemFolders.h"
#include "messages/LoadMessage.h"
#include "platform/Ports.h"
#include "platform/win32/CommandLine_win.h"
#include "platform/win32/DesktopStart_win.h"
#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Files_win.h"
#include "platform/win32/Modules_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/ReplaceFile_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/ShellFolders_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/StringTable_win.h"
#include "platform/win32/SystemDirs_win.h"
#include "platform/win32/Threads_win.h"
#include "ui/win32/LogList_win.h"
// After the Win32 layer, whose headers take the A/W macros away.
#include <winternl.h>

#include "Harness.h"
#include "ProductInfo.h"
#include "platform/RuntimeError.h"

// What only Windows can answer: the resources as compiled, copies by replacement, the
// error numbers of real failures, shell folders, worker threads and processes.
namespace kiv {
namespace {

using Lines = std::vector<std::string>;

int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

// The program under test: KIV_PROGRAM names it (the shipped 32-bit build, read as data
// by a 64-bit suite), else the kivupdate.exe built beside this test.
std::wstring ProgramPath() {
    const wchar_t* named = _wgetenv(L"KIV_PROGRAM");
    return named ? named : e2e::OwnFolder() + L"\\kivupdate.exe";
}

TEST(Win32Resources, CatalogueAndVersionComeBackExactlyFromTheCompiledProgram) {
    const ScopedLibrary program(LoadLibraryExW(
        ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program) << ToUtf8(ProgramPath());
    Win32StringTable table(program.Get());
    Ports ports;
    ports.strings = &table;
    InstallPorts(ports);
    MessageBase = 0;
    int checked = 0;
#define KIV_MESSAGE(id, text) \
    ++checked;                \
    EXPECT_EQ(LoadMessage(id), text) << id;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
    EXPECT_EQ(checked, 30);
    EXPECT_EQ(LoadMessage(1091), " [LL 1091 ?] ");  // a gap inside a bundle
    InstallPorts({});

    std::vector<BYTE> info(GetFileVersionInfoSizeW(ProgramPath().c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, DWORD(info.size()), info.data()));
    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"ProductName", L"kivALDERVIK "},
        {L"FileDescription", L"Kiv Aldervik Update Installer"},
        {L"ProductVersion", L"" KIV_VERSION_TEXT}, {L"FileVersion", L"" KIV_VERSION_TEXT}};
    for (const auto& [name, expected] : strings) {
        wchar_t* value = nullptr;
        UINT length = 0;
        VerQueryValueW(info.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                       reinterpret_cast<void**>(&value), &length);
        EXPECT_EQ(std::wstring(value ? value : L"", value ? wcsnlen(value, length) : 0), expected);
    }
}

constexpr FileTime kStaged = 1600000000, kOlder = 1500000000;

class Win32Files : public ::testing::Test {
protected:
    void TearDown() override { e2e::RemoveTree(root_); }
    std::string Path(const std::string& name) const { return ToUtf8(root_) + "\\" + name; }
    void Write(const std::string& name, const std::string& content, FileTime time,
               DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const int64_t ticks = time * 10000000 + 116444736000000000 + 9999999;  // .9999999 s
        e2e::WriteNew(ToWide(Path(name)), content, {DWORD(ticks), DWORD(ticks >> 32)});
        SetFileAttributesW(ToWide(Path(name)).c_str(), attributes);
    }
    std::string Read(const std::string& name) const {
        return e2e::ReadBytes(ToWide(Path(name))).value_or("<missing>");
    }
    Lines Entries(std::wstring folder = L"") {
        Lines names;
        WIN32_FIND_DATAW entry;
        const HANDLE find =
            FindFirstFileW(((folder.empty() ? root_ : folder) + L"\\*").c_str(), &entry);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
            names.push_back(ToUtf8(entry.cFileName));
        }
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::wstring root_ = e2e::NewTemporaryFolder();
    kiv::Win32Files files_;
    std::shared_ptr<IFileSystem> fso_ = files_.CreateFileSystem();
};

// A copy goes to a temporary name of its own and is moved over the destination in one
// step. Whatever a killed run left at that name goes first, a link as a link; a name that
// cannot be cleared makes the copy take the next. The copy is never read-only.
TEST_F(Win32Files, CopyReplacesWholeOrLeavesTheDestinationAsItWas) {
    const DWORD kReadOnly = FILE_ATTRIBUTE_READONLY, kArchive = FILE_ATTRIBUTE_ARCHIVE;
    enum Leftover { None, ReadOnlyFile, EmptyFolder, FullFolder, Link };
    const struct {
        const char* what;
        const char* source;
        DWORD installed;  // attributes of an installed copy; 0: none
        Leftover leftover;
        bool held;  // the installed copy is open elsewhere without sharing
        int32_t number;
    } cases[] = {
        {"new copy", "staged.dll", 0, ReadOnlyFile, false, 0},
        {"replacement", "staged.dll", kArchive, EmptyFolder, false, 0},
        {"a name held for good", "staged.dll", 0, FullFolder, false, 0},
        {"a link at the name", "staged.dll", kArchive, Link, false, 0},
        {"in use", "staged.dll", FILE_ATTRIBUTE_NORMAL, None, true, 70},
        {"read-only", "staged.dll", kReadOnly, None, false, 70},
        {"hidden", "staged.dll", FILE_ATTRIBUTE_HIDDEN, None, false, 70},
        {"system", "staged.dll", FILE_ATTRIBUTE_SYSTEM, None, false, 70},
        {"no source", "gone.dll", FILE_ATTRIBUTE_NORMAL, None, false, 53},
        {"no source folder", "gone\\a.dll", FILE_ATTRIBUTE_NORMAL, None, false, 76},
    };
    const std::wstring elsewhere = e2e::NewTemporaryFolder(), victim = elsewhere + L"\\victim";
    // Windows names ignore case, and so does the choice of the temporary name.
    const std::wstring leftover = TemporaryNames(ToWide(Path("INSTALLED.DLL")))[0];
    const std::string leftoverName = ToUtf8(leftover.substr(leftover.rfind(L'\\') + 1));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("staged.dll", "new content", kStaged, kReadOnly | kArchive);
        if (c.installed) {
            Write("installed.dll", "old", kOlder, c.installed);
        }
        if (c.leftover == ReadOnlyFile) {
            Write(leftoverName, "torn", kOlder, kReadOnly);
        } else if (c.leftover == EmptyFolder || c.leftover == FullFolder) {
            CreateDirectoryW(leftover.c_str(), nullptr);
            if (c.leftover == FullFolder) {
                Write(leftoverName + "\\kept", "", kOlder);
            }
        } else if (c.leftover == Link) {
            e2e::WriteNew(victim, "victim", {});
            ASSERT_TRUE(CreateSymbolicLinkW(leftover.c_str(), victim.c_str(), 0));
        }
        const auto before = Entries();
        ScopedKernelHandle held(c.held ? CreateFileW(ToWide(Path("installed.dll")).c_str(),
                                                     GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                                     nullptr)
                                       : nullptr);
        EXPECT_EQ(ErrorNumberOf([&] { fso_->CopyFile(Path(c.source), Path("installed.dll")); }),
                  c.number);
        held.Reset();
        const bool copied = c.number == 0;
        EXPECT_EQ(Read("installed.dll"), copied ? "new content" : "old");
        EXPECT_EQ(files_.LastModified(Path("installed.dll")), copied ? kStaged : kOlder);
        Lines after = {".", "..", "installed.dll", "staged.dll"};
        if (c.leftover == FullFolder) {
            after.push_back(leftoverName);
        }
        EXPECT_EQ(Entries(), (copied ? after : before));
        if (copied) {
            EXPECT_EQ(GetFileAttributesW(ToWide(Path("installed.dll")).c_str()), kArchive);
        }
        if (c.leftover == Link) {
            EXPECT_EQ(e2e::ReadBytes(victim), "victim") << "written through the link";
        }
        e2e::RemoveTree(root_);
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    e2e::RemoveTree(elsewhere);
    // A name of 250 characters, where the temporary name must still fit in 255.
    const std::string name = std::string(246, 'n') + ".dll";
    Write(name, "long", kStaged);
    CreateDirectoryW(ToWide(Path("to")).c_str(), nullptr);
    EXPECT_EQ(ErrorNumberOf([&] { fso_->CopyFile(Path(name), Path("to\\" + name)); }), 0);
    EXPECT_EQ(Read("to\\" + name), "long");
    const int64_t exact = kStaged * 10000000 + 116444736000000000;  // a whole second
    e2e::WriteNew(ToWide(Path("exact.dll")), "", {DWORD(exact), DWORD(exact >> 32)});
    EXPECT_EQ(files_.LastModified(Path("exact.dll")), kStaged);
}

// A copy of 256 MB (sparse, so quick to make) lasts long enough for another thread to see
// its temporary file and ask the copying thread's window a question: the answer must come
// while the copy still runs, before the destination is replaced.
TEST_F(Win32Files, TheCopyingThreadAnswersSentMessages) {
    Write("big.dll", "", kStaged);
    {
        const ScopedKernelHandle big(CreateFileW(ToWide(Path("big.dll")).c_str(), GENERIC_WRITE,
                                                 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size = {};
        size.QuadPart = LONGLONG{256} << 20;
        ASSERT_TRUE(SetFilePointerEx(big.Get(), size, nullptr, FILE_BEGIN) &&
                    SetEndOfFile(big.Get()));
    }
    const ScopedWindow window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, nullptr, nullptr));
    const std::wstring temporary = TemporaryNames(ToWide(Path("out.dll")))[0];
    std::atomic<int> answered{-1};  // -1: never asked; then whether the copy still ran
    std::thread asker([&] {
        if (e2e::Within(5000, [&] { return e2e::Exists(temporary); })) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window.Get(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            answered = e2e::Exists(temporary) && !e2e::Exists(ToWide(Path("out.dll")));
        }
    });
    EXPECT_EQ(ErrorNumberOf([&] { fso_->CopyFile(Path("big.dll"), Path("out.dll")); }), 0);
    asker.join();
    EXPECT_EQ(answered, 1);
}

TEST_F(Win32Files, TheFileListShowsPlainFilesInCaseBlindOrder) {
    for (const auto& [name, attributes] :
         std::vector<std::pair<const char*, DWORD>>{{"b.txt", FILE_ATTRIBUTE_NORMAL},
                                                    {"A.dll", FILE_ATTRIBUTE_READONLY},
                                                    {"_x.txt", FILE_ATTRIBUTE_ARCHIVE},
                                                    {"hidden.dll", FILE_ATTRIBUTE_HIDDEN},
                                                    {"system.dll", FILE_ATTRIBUTE_SYSTEM}}) {
        Write(name, "x", kStaged, attributes);
    }
    CreateDirectoryW(ToWide(Path("folder.dll")).c_str(), nullptr);
    EXPECT_EQ(files_.ListFiles(ToUtf8(root_)),
              (std::vector<std::string>{"A.dll", "b.txt", "_x.txt"}));
    EXPECT_EQ(files_.FirstNormalFile(Path("*.*")), "A.dll");
    EXPECT_EQ(files_.FirstNormalFile(Path("missing\\*.*")), "");
    for (const std::string& folder :
         {Path("missing"), Path("b.txt"), std::string("\\\\nohost\\s")}) {
        EXPECT_EQ(ErrorNumberOf([&] { files_.ListFiles(folder); }), 76) << folder;
    }
    EXPECT_FALSE(fso_->FileExists(Path("folder.dll")));
    EXPECT_EQ(ErrorNumberOf([&] { fso_->CopyFile(Path("b.txt"), Path("folder.dll")); }), 70);
    SetFileAttributesW(ToWide(Path("A.dll")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// scripts/test maps a drive of 1 MB as KIV_SMALL_DRIVE.
TEST_F(Win32Files, ADiskThatFillsLeavesTheInstalledFileAsItWasAndNoTemporaryFile) {
    const wchar_t* drive = _wgetenv(L"KIV_SMALL_DRIVE");
    if (drive == nullptr) {
        GTEST_SKIP() << "no small drive: scripts/test maps one where it may mount a tmpfs";
    }
    const std::wstring folder = std::wstring(drive) + L"full";
    CreateDirectoryW(folder.c_str(), nullptr);
    e2e::WriteNew(folder + L"\\installed.dll", "old", {});
    Write("staged.dll", std::string(2 << 20, 'n'), kStaged);
    EXPECT_EQ(ErrorNumberOf(
                  [&] { fso_->CopyFile(Path("staged.dll"), ToUtf8(folder) + "\\installed.dll"); }),
              61);
    EXPECT_EQ(e2e::ReadBytes(folder + L"\\installed.dll"), "old");
    EXPECT_EQ(Entries(folder), (Lines{".", "..", "installed.dll"})) << "no temporary copy";
    e2e::RemoveTree(folder);
}

TEST(Win32Folders, ApplicationDataAndTheSystemDirectoryAsWindowsGivesThem) {
    Win32Modules modules;
    Win32ShellFolders shell;
    Win32SystemDirs dirs;
    kiv::Win32Files files;
    CSystemFolders folders(modules, shell, dirs, files);
    EXPECT_TRUE(folders.Enhanced());
    EXPECT_EQ(folders.Path(CSIDL_APPDATA), ToUtf8(_wgetenv(L"APPDATA")));
    EXPECT_EQ(ToWide(folders.SysDir()), e2e::SystemFolder());
    EXPECT_EQ(folders.Path(17), "") << "a virtual folder";
}

TEST(Win32Runtime, ArgumentTextSkipsTheProgramNameAndTheBlanksAfterIt) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},
        {L"kivupdate.exe   \t ", L""},
        {L"\"C:\\Program Files\\Kiv\\kivupdate.exe\"D:\\Apps", L"D:\\Apps"},
        {L"C:\\Kiv\\kivupdate.exe \t  D:\\Apps\\Prod  \t ", L"D:\\Apps\\Prod  \t "},
        {L"kivupdate.exe \"D:\\My Apps\\Prod\"  ", L"\"D:\\My Apps\\Prod\"  "},
    };
    for (const auto& [commandLine, argumentText] : cases) {
        EXPECT_EQ(ArgumentTextOf(commandLine), argumentText) << ToUtf8(commandLine);
    }
}

TEST(Win32Runtime, OfFiveStartsAtOnceOneRunsAndAMissingProgramIsFileNotFound) {
    // Five guards made at the same moment by five threads: the named mutex is the kernel's,
    // so threads race for it as five processes would, and exactly one may make it.
    for (int round = 0; round < 10; ++round) {
        Win32Runtime guards[5];
        const ScopedKernelHandle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::atomic<int> running{0};
        std::vector<std::thread> starts;
        for (Win32Runtime& guard : guards) {
            starts.emplace_back([&] {
                WaitForSingleObject(go.Get(), INFINITE);
                running += guard.AnotherInstanceRunning() ? 0 : 1;
            });
        }
        SetEvent(go.Get());
        for (std::thread& start : starts) {
            start.join();
        }
        EXPECT_EQ(running, 1) << "round " << round;
    }
    Win32Runtime first;
    EXPECT_NE(ErrorNumberOf([&] { first.Start(std::string(40000, 'x'), 2); }), 0) << "too long";
    for (const char* line : {"\"C:\\no-such-folder\\kivapp1.exe\"x", "C:\\windows\\none.exe /s",
                             "\"\"C:\\My Apps\"\\kivapp1.exe\"\"C:\\My Apps\""}) {
        EXPECT_EQ(ErrorNumberOf([&] { first.Start(line, 2); }), 53) << line;
    }
}

// Wine has no shell window, so there the relaunch always falls back; another process stands
// in for the shell.
TEST(Win32Runtime, AStartAsAChildOfAnotherProcessHasItAsParentAndItsUsersEnvironment) {
    const std::wstring folder = e2e::NewTemporaryFolder();
    CopyFileW((e2e::OwnFolder() + L"\\kivapp1.exe").c_str(), (folder + L"\\kivapp1.exe").c_str(),
              TRUE);
    Win32Processes processes;
    const ScopedKernelHandle shell(reinterpret_cast<HANDLE>(
        processes.Start("\"" + ToUtf8(e2e::OwnFolder()) + "\\kivapp1.exe\" --sleep", 2)));
    const ScopedKernelHandle noParent(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, GetProcessId(shell.Get())));
    const std::string line = "\"" + ToUtf8(folder) + "\\kivapp1.exe\"\"D:\\My P\" ";
    SetEnvironmentVariableW(L"KIV_ELEVATED_ONLY", L"1");  // as if of the program's own account
    EXPECT_FALSE(StartAsChildOf(noParent.Get(), line, 2)) << "may not be a parent";
    EXPECT_FALSE(StartAsChildOf(shell.Get(), "\"C:\\no-such-folder\\kivapp1.exe\"", 2));
    const ScopedKernelHandle child = StartAsChildOf(shell.Get(), line, 2);
    SetEnvironmentVariableW(L"KIV_ELEVATED_ONLY", nullptr);
    ASSERT_TRUE(child);
    ASSERT_EQ(WaitForSingleObject(child.Get(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.Get(), &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the user's own environment";
    PROCESS_BASIC_INFORMATION basic = {};
    NtQueryInformationProcess(child.Get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr);
    EXPECT_EQ(basic.InheritedFromUniqueProcessId, GetProcessId(shell.Get()));
    const auto starts = e2e::Records(folder + L"\\kivapp1.record", 4);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][1] + starts[0][2] + starts[0][3], "12" + line) << "shown minimized";
    e2e::RemoveTree(folder);
    WaitForSingleObject(shell.Get(), 10000);
}

TEST(Win32Runtime, FailuresOfFilesInUseAreNumber70AndAProcessIsWaitedFor) {
    for (const DWORD inUse : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}) {
        EXPECT_EQ(RuntimeNumberOf(inUse), 70) << inUse;
    }
    Win32Processes processes;  // made as the relaunch makes it
    const ProcessHandle sleeper =
        processes.Start("\"" + ToUtf8(e2e::OwnFolder()) + "\\kivapp1.exe\" --sleep", 2);
    BOOL inJob = TRUE;
    IsProcessInJob(reinterpret_cast<HANDLE>(sleeper), nullptr, &inJob);
    EXPECT_FALSE(inJob) << "outside the job that ends the pass's processes with the program";
    EXPECT_EQ(processes.Wait(sleeper, 300), WaitResult::TimedOut);
    EXPECT_EQ(processes.Wait(sleeper, 10000), WaitResult::Ended);
    EXPECT_EQ(processes.ExitCode(sleeper), 7u);
    processes.Close(sleeper);
}

TEST(Win32Workers, AWorkerLoadsTheComponentRunsItsEntryPointAndReportsHow) {
    using Kind = Registered::Kind;
    const struct {
        const wchar_t* build;  // copied under the name, which sets how it behaves
        const wchar_t* name;
        const char* exportName;
        WaitResult waited;
        Kind kind;
        HRESULT result;
    } cases[] = {
        {L"kivtestcom.dll", L"ok.dll", "DllRegisterServer", WaitResult::Ended, Kind::Returned,
         S_OK},
        {L"kivtestcom.dll", L"fails.dll", "DllUnregisterServer", WaitResult::Ended, Kind::Returned,
         E_FAIL},
        {L"kivtestcom_noentry.dll", L"noentry.dll", "DllRegisterServer", WaitResult::Ended,
         Kind::NoEntryPoint, 0},
        {nullptr, L"missing.dll", "DllRegisterServer", WaitResult::Ended, Kind::NotLoaded, 0},
        {L"kivtestcom.dll", L"crash.dll", "DllRegisterServer", WaitResult::Ended, Kind::Returned,
         HRESULT(0xC0000005)},  // the fault ends only the worker
        {L"kivtestcom.dll", L"slow.dll", "DllRegisterServer", WaitResult::TimedOut, Kind{}, 0},
        {L"kivtestcom.dll", L"hang.dll", "DllRegisterServer", WaitResult::TimedOut, Kind{}, 0},
    };
    const std::wstring folder = e2e::NewTemporaryFolder();
    Win32Threads threads;
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        const std::wstring path = folder + L"\\" + c.name;
        if (c.build) {
            CopyFileW((e2e::OwnFolder() + L"\\" + c.build).c_str(), path.c_str(), TRUE);
        }
        const ThreadHandle worker = threads.StartRegistration(ToUtf8(path), c.exportName);
        ASSERT_NE(worker, 0u);
        ASSERT_EQ(threads.Wait(worker, c.waited == WaitResult::Ended ? 5000 : 300), c.waited);
        if (c.waited == WaitResult::Ended) {
            EXPECT_EQ(threads.Outcome(worker).kind, c.kind);
            EXPECT_EQ(threads.Outcome(worker).result, c.result);
            EXPECT_EQ(GetModuleHandleW(path.c_str()) != nullptr, c.kind != Kind::NotLoaded)
                << "loaded for as long as the program runs";
        }
        threads.Close(worker);
    }
}

// The list box's pixels, frame and scroll bar included.
std::vector<uint32_t> Pixels(HWND window) {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = GetWindowDC(window), memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return pixels;
}

// Whatever a frame leaves of the held lines on screen is what a full repaint shows: lines
// landing in view, the scroll bar appearing, its thumb shrinking, and lines out of view.
TEST(Win32LogList, AFrameShowsWhatAFullRepaintWould) {
    const ScopedWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 300,
                                              200, nullptr, nullptr, nullptr, nullptr));
    LogList log;
    log.Attach(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 200,
                               120, parent.Get(), nullptr, nullptr, nullptr));
    UpdateWindow(parent.Get());
    for (int added : {2, 10, 40, 300, 3}) {
        SCOPED_TRACE(added);
        log.Hold();
        for (int line = 0; line < added; ++line) {
            log.Add(L"WWWW " + std::to_wstring(line));
        }
        log.ShowHeld();
        const std::vector<uint32_t> shown = Pixels(log.Handle());
        log.LetGo();
        RedrawWindow(log.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_TRUE(shown == Pixels(log.Handle()));
    }
}

}  // namespace
}  // namespace kiv
