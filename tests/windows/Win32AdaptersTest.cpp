#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "messages/LoadMessage.h"
#include "platform/win32/DesktopStart_win.h"
#include "platform/win32/FileListing_win.h"
#include "platform/win32/Processes_win.h"
#include "platform/win32/Registrations_win.h"
#include "platform/win32/ReplaceFile_win.h"
#include "platform/win32/Runtime_win.h"
#include "platform/win32/Strconv_win.h"
#include "platform/win32/StringTable_win.h"
#include "ui/win32/LogList_win.h"
// After the Win32 layer, whose headers take the A/W macros away.
#include <winternl.h>

#include "Harness.h"
#include "platform/RuntimeError.h"

// What only Windows answers: compiled resources, copies, real errors, workers, processes, paint.
namespace kiv {
namespace {

template <typename Call>
int32_t ErrorNumberOf(Call call) try {
    call();
    return 0;
} catch (const RuntimeError& error) {
    return error.Number();
}

// KIV_PROGRAM names the shipped 32-bit build, which a 64-bit suite reads as data.
std::wstring ProgramPath() {
    const wchar_t* named = _wgetenv(L"KIV_PROGRAM");
    return named ? named : e2e::OwnFolder() + L"\\kivupdate.exe";
}

TEST(Win32Resources, TheCatalogueComesBackExactlyFromTheCompiledProgram) {
    const ScopedLibrary program(LoadLibraryExW(
        ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program) << ToUtf8(ProgramPath());
    Win32StringTable table(program.Get());
#define KIV_MESSAGE(id, text) EXPECT_EQ(LoadMessage(table, 0, id), text) << id;
#include "messages/Catalogue.inc"
#undef KIV_MESSAGE
    EXPECT_FALSE(table.Load(1091)) << "a gap inside a bundle";
}

constexpr FileTime kStaged = 1600000000, kOlder = 1500000000;

class Win32Files : public ::testing::Test {
protected:
    void TearDown() override { e2e::RemoveTree(root_); }
    std::string Path(const std::string& name) const { return ToUtf8(root_) + "\\" + name; }
    // As the pass does: the copy is handed what one look at the destination found.
    int32_t Copy(const std::string& from, const std::string& to) {
        FileLook found;
        fso_->FileExists(to, found);
        return ErrorNumberOf([&] { fso_->CopyFile(from, to, found, nullptr); });
    }
    // Made `fraction` 100-ns ticks past the whole second.
    void Write(const std::string& name, const std::string& content, FileTime time,
               DWORD attributes = FILE_ATTRIBUTE_NORMAL, int64_t fraction = 9999999) {
        const int64_t ticks = time * 10000000 + 116444736000000000 + fraction;
        e2e::WriteNew(ToWide(Path(name)), content, {DWORD(ticks), DWORD(ticks >> 32)});
        SetFileAttributesW(ToWide(Path(name)).c_str(), attributes);
    }

    const std::wstring root_ = e2e::NewTemporaryFolder();
    kiv::Win32Files files_;
    std::shared_ptr<IFileSystem> fso_ = files_.CreateFileSystem();
};

// Whatever a killed run left at the temporary name goes first, a link as a link; a name that
// cannot be cleared makes the copy take the next. The copy is never read-only.
TEST_F(Win32Files, CopyReplacesWholeOrLeavesTheDestinationAsItWas) {
    const DWORD kReadOnly = FILE_ATTRIBUTE_READONLY, kArchive = FILE_ATTRIBUTE_ARCHIVE;
    enum Leftover { None, ReadOnlyFile, EmptyFolder, FullFolder, Link };
    // installed: the attributes of an installed copy, 0 when there is none.
    // clang-format off
    struct Row { const char* what; DWORD installed; Leftover leftover; int32_t number; const char* source = "staged.dll"; };
    const Row rows[] = {
        {"new copy", 0, ReadOnlyFile, 0},
        {"replacement", kArchive, EmptyFolder, 0},
        {"a name held for good", 0, FullFolder, 0},
        {"a link at the name", kArchive, Link, 0},
        {"no source", FILE_ATTRIBUTE_NORMAL, None, 53, "gone.dll"},
    };
    // clang-format on
    const std::wstring elsewhere = e2e::NewTemporaryFolder(), victim = elsewhere + L"\\victim";
    // Windows names ignore case, and so does the choice of the temporary name.
    const std::wstring leftover = TemporaryNames(ToWide(Path("INSTALLED.DLL")))[0],
                       installed = ToWide(Path("installed.dll"));
    const std::wstring leftoverName = leftover.substr(leftover.rfind(L'\\') + 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Write("staged.dll", "new content", kStaged, kReadOnly | kArchive);
        if (row.installed) {
            Write("installed.dll", "old", kOlder, row.installed);
        }
        if (row.leftover == ReadOnlyFile) {
            Write(ToUtf8(leftoverName), "torn", kOlder, kReadOnly);
        } else if (row.leftover == Link) {
            e2e::WriteNew(victim, "victim", {});
            ASSERT_TRUE(CreateSymbolicLinkW(leftover.c_str(), victim.c_str(), 0));
        } else if (row.leftover != None) {
            CreateDirectoryW(leftover.c_str(), nullptr);
        }
        if (row.leftover == FullFolder) {
            e2e::WriteNew(leftover + L"\\kept", "", {});
        }
        const auto before = e2e::Names(root_);
        EXPECT_EQ(Copy(Path(row.source), Path("installed.dll")), row.number);
        const bool copied = row.number == 0;
        EXPECT_EQ(e2e::ReadBytes(installed), copied ? "new content" : "old");
        EXPECT_EQ(files_.LastModified(Path("installed.dll")), copied ? kStaged : kOlder);
        if (copied) {
            EXPECT_EQ(GetFileAttributesW(installed.c_str()), kArchive);
        }
        std::vector<std::wstring> after = {L"installed.dll", L"staged.dll", leftoverName};
        after.resize(row.leftover == FullFolder ? 3 : 2);
        EXPECT_EQ(e2e::Names(root_), copied ? after : before);
        if (row.leftover == Link) {
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
    EXPECT_EQ(Copy(Path(name), Path("to\\" + name)), 0);
    EXPECT_EQ(e2e::ReadBytes(ToWide(Path("to\\" + name))), "long");
    Write("exact.dll", "", kStaged, FILE_ATTRIBUTE_NORMAL, 0);
    EXPECT_EQ(files_.LastModified(Path("exact.dll")), kStaged) << "a whole second";
}

TEST_F(Win32Files, TheFileListShowsPlainFilesInCaseBlindOrder) {
    Write("b.txt", "x", kStaged);
    Write("A.dll", "x", kStaged, FILE_ATTRIBUTE_READONLY);
    Write("_x.txt", "x", kStaged, FILE_ATTRIBUTE_ARCHIVE);
    Write("hidden.dll", "x", kStaged, FILE_ATTRIBUTE_HIDDEN);
    Write("system.dll", "x", kStaged, FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryW(ToWide(Path("folder.dll")).c_str(), nullptr);
    EXPECT_EQ(files_.ListFiles(ToUtf8(root_)),
              (std::vector<std::string>{"A.dll", "b.txt", "_x.txt"}));
    EXPECT_EQ(files_.FirstNormalFile(Path("*.*")), "A.dll");
    for (const std::string& folder :
         {Path("missing"), Path("b.txt"), std::string("\\\\nohost\\s")}) {
        EXPECT_EQ(ErrorNumberOf([&] { files_.ListFiles(folder); }), 76) << folder;
    }
    FileLook found;
    EXPECT_FALSE(fso_->FileExists(Path("folder.dll"), found));
    EXPECT_EQ(Copy(Path("b.txt"), Path("folder.dll")), 70);
}

// The forms the end-to-end starts never take: an unquoted name, tabs, no blank after it.
TEST(Win32Runtime, OfFiveStartsAtOnceOneRunsAndAMissingProgramIsFileNotFound) {
    // The named mutex is the kernel's: five threads race for it as five processes would.
    for (int round = 0; round < 10; ++round) {
        Win32Runtime guards[5];
        std::atomic<int> ready{0}, running{0};
        std::vector<std::thread> starts;
        for (Win32Runtime& guard : guards) {
            starts.emplace_back([&] {
                for (++ready; ready < 5; std::this_thread::yield()) {  // all go at once
                }
                running += guard.AnotherInstanceRunning() ? 0 : 1;
            });
        }
        for (std::thread& start : starts) {
            start.join();
        }
        EXPECT_EQ(running, 1) << "round " << round;
    }
    Win32Runtime first;
    EXPECT_NE(ErrorNumberOf([&] { first.Start(std::string(40000, 'x'), 2); }), 0) << "too long";
    EXPECT_EQ(ErrorNumberOf([&] { first.Start("\"C:\\no-such-folder\\kivapp1.exe\"x", 2); }), 53);
}

// The session's end, a click on "End", while the pass starts a process that ends with the
// program: one caught between its creation and its job would stay suspended for good. Each
// round is this program again, ended at another moment amid starts on another thread.
TEST(Win32Runtime, EndedAmidStartsItLeavesNothingRunning) {
    wchar_t endAfterMs[16] = L"";
    if (GetEnvironmentVariableW(L"KIV_END_AMID_STARTS", endAfterMs, 16)) {
        std::thread([] {
            const std::string held =
                "\"" + ToUtf8(e2e::OwnFolder()) + "\\kivapp1.exe\" --hold 60000 NUL";
            for (Win32Processes tied(Win32Processes::Lifetime::EndsWithProgram);;) {
                tied.Start(held, 0);
            }
        }).detach();
        Sleep(wcstoul(endAfterMs, nullptr, 10));
        Win32Runtime().End(0);
    }
    for (int endAfterMs = 100; endAfterMs < 400; endAfterMs += 23) {
        SetEnvironmentVariableW(L"KIV_END_AMID_STARTS", std::to_wstring(endAfterMs).c_str());
        e2e::Program ended(L"\"" + e2e::OwnFolder() + L"\\win32_tests.exe\" --gtest_filter=" +
                           L"Win32Runtime.EndedAmidStartsItLeavesNothingRunning");
        SetEnvironmentVariableW(L"KIV_END_AMID_STARTS", nullptr);
        EXPECT_EQ(ended.Exit(10000), 0u) << ended.status << ", ended after " << endAfterMs;
    }
}

// Wine has no shell window, so there the relaunch always falls back; another process stands
// in for the shell.
TEST(Win32Runtime, AStartAsAChildOfAnotherProcessHasItAsParentAndItsUsersEnvironment) {
    Win32Processes processes;
    const ScopedKernelHandle shell(reinterpret_cast<HANDLE>(
        processes.Start("\"" + ToUtf8(e2e::OwnFolder()) + "\\kivapp1.exe\" --hold 1000 NUL", 2)));
    const std::wstring folder = e2e::NewTemporaryFolder();
    e2e::CopyBuilt(L"kivapp1.exe", folder + L"\\kivapp1.exe");
    const ScopedKernelHandle noParent(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, GetProcessId(shell.Get())));
    const std::string line = "\"" + ToUtf8(folder) + "\\kivapp1.exe\"\"D:\\My P\" ";
    SetEnvironmentVariableW(L"KIV_ELEVATED_ONLY", L"1");  // as if of the program's own account
    EXPECT_FALSE(StartAsChildOf(noParent.Get(), line, 2)) << "may not be a parent";
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

// A process of the program's own file tells how the entry point went, whatever code it
// returns or ends with; one given up on has ended once let go of (its handle: the process).
TEST(Win32Registrations, AProcessOfTheProgramRunsTheEntryPointAndTellsHowItWent) {
    using Kind = Registered::Kind;
    // clang-format off
    struct Row { const wchar_t* name; bool ends; Registered outcome; const char* entry = "DllRegisterServer"; };
    const Row rows[] = {  // name: of a copy of kivtestcom.dll, which sets how the copy behaves
        {L"ok.dll", true, {Kind::Returned, S_OK}},
        {L"fails.dll", true, {Kind::Returned, 0x80004005}},
        {L"usescom.dll", true, {Kind::Returned, S_OK}},
        {L"lingers.dll", true, {Kind::Returned, S_OK}},  // its thread holds nothing up
        {L"crash.dll", true, {Kind::Ended, 0xC0000005}},
        {L"endthread.dll", true, {Kind::Ended, 1}},
        {L"frozen.dll", false, {}},  // in DllMain
        {L"none\\ok.dll", true, {Kind::NotLoaded, 0}},  // no folder: never copied
        {L"noentry.dll", true, {Kind::NotRun, 0}, "KivNoSuchEntryPoint"},
    };
    // clang-format on
    const std::wstring folder = e2e::NewTemporaryFolder();
    Win32Registrations registrations(e2e::OwnFolder() + L"\\kivupdate.exe");
    for (const Row& row : rows) {
        SCOPED_TRACE(ToUtf8(row.name));
        const std::wstring path = folder + L"\\" + row.name;
        e2e::CopyBuilt(L"kivtestcom.dll", path);
        const RegistrationHandle started = registrations.Start(ToUtf8(path), row.entry);
        ASSERT_NE(started, 0u);
        ASSERT_EQ(registrations.Wait(started, row.ends ? 5000 : 300) == WaitResult::Ended,
                  row.ends);
        if (row.ends) {
            EXPECT_EQ(registrations.Outcome(started).kind, row.outcome.kind);
            EXPECT_EQ(registrations.Outcome(started).code, row.outcome.code);
        }
        const DWORD id = GetProcessId(reinterpret_cast<HANDLE>(started));
        registrations.Close(started);
        const ScopedKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        EXPECT_TRUE(!process || WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0)
            << "still runs, with the component mapped";
    }
    e2e::RemoveTree(folder);
}

// The list box's pixels as the screen shows them, frame and scroll bar included.
std::vector<uint32_t> Pixels(HWND window) {
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const BITMAPINFO format = {
        {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    uint32_t* bits = nullptr;
    const HDC dc = GetWindowDC(window);
    const ScopedMemoryDc memory(CreateCompatibleDC(dc));
    const ScopedBitmap bitmap(
        CreateDIBSection(dc, &format, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    const SelectedObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    GdiFlush();
    return {bits, bits + size_t(width) * size_t(height)};
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
        log.Release();
        RedrawWindow(log.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_TRUE(shown == Pixels(log.Handle()));
    }
}

}  // namespace
}  // namespace kiv
