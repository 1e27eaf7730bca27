#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "Harness.h"
#include "platform/win32/Bind_win.h"
#include "trust/Sha256.h"
#include "ui/Controls.h"

// The whole program, a handful of runs: each row stages files, starts kivupdate.exe with
// an argument text, answers its boxes, ends it, and checks what only real Windows shows: the
// disk, the registration calls the components recorded, the window and the relaunch the stub
// recorded. The step texts and box texts themselves the host suite holds against a fake.
namespace kiv::e2e {
namespace {

const std::string D = " Determine File $\\Path...", V = "Verify file exist...",
                  C = "Copy file to destination folder", RM = " Removing DLL/OCX from register...",
                  RG = " Registering new DLL/OCX...";
const FILETIME kStaged = {0, 0x01D90000};  // late in 2022

// Signed: copied with the rest of a signed staging folder (SignFixtures.sh).
enum What { Component, Plain, Empty, Sibling, UsesSibling, Helper, UsesHelper, Big, Signed };
// Where64: a component new to the system folder, which goes to SysWOW64 on 64-bit Windows.
enum Where { Nowhere, System, Wow64, Library, Where64 };
enum class Arg { Folder, Default, LongFolderAndBlanks, Relative };  // 236 characters; "."
// A Regsvr32 row gives SysWOW64 a file where it has none; InProcess runs where it has none.
enum class Route { Either, InProcess, Regsvr32 };
enum class Ending { Close, End };
// What is done to a signed staging folder once it is staged: the second file edited or made
// newer, a file added that is not listed, the list edited (and its signed digest made to match),
// the list removed, or the 64 MB file swapped for other bytes once its copy has begun.
enum class Tamper {
    None,
    EditFile,
    RetimeFile,
    AddFile,
    EditList,
    EditListAndDigest,
    DropList,
    Swap
};

struct File {
    const wchar_t* name;
    What what;
    Where installed = Nowhere;  // a copy there before the run,
    LONGLONG age = 0;           // that many seconds older than the staged one
    Where staged = Nowhere;     // where the staged bytes are after the run
    const char* calls = "";     // registration calls the component received, in order
};

struct Scenario {
    const char* name;
    Arg arg;
    bool library;  // the installation has its Library folder
    Route route;
    std::vector<File> files;
    std::vector<std::string> log;    // after the listing's two lines; else only they are read
    std::vector<const char*> boxes;  // a piece of each box's text, in the order they show
    Ending ending;
    bool secondInstance = false;
    DWORD holdMs = 0;         // another program holds the first file: see kivapp1's --hold
    bool holdStaged = false;  // for writing from before the pass; else once its copy appears
    bool traced = false;      // the flushes of the copies are read (strace)
    const wchar_t* signer = nullptr;  // the staging folder signed by this test certificate
    Tamper tamper = Tamper::None;
    bool pinned = false;  // the build pinned to the publisher's and the next certificate
};

const char* const kBoth = "unregister register";

// clang-format off
const Scenario kScenarios[] = {
    {"EachKindLandsWhereItBelongs", Arg::LongFolderAndBlanks, true, Route::Either,
     {{L"KEYS.dep", Plain, System, 1, System},
      {L"newer.dep", Plain, System, -1, Nowhere},
      {L"window.ocx", Component, Nowhere, 0, Where64, kBoth},  // shows a window of its own
      {L"empty.dep", Empty, Nowhere, 0, System},
      {L"kiv \u03A9\u043C\u6F22 lib.dll", Component, Nowhere, 0, Library, kBoth},
      {L"kivsiblinglib.dll", Sibling, Nowhere, 0, Library, kBoth},
      {L"kivuseslib.dll", UsesSibling, Nowhere, 0, Library, kBoth}},  // needs its sibling
     {" empty.dep", D, " KEYS.dep", " kiv \u03A9\u043C\u6F22 lib.dll", V, C, RM, RG, " kivsiblinglib.dll", D, V, C, RM,
      RG, " kivuseslib.dll", D, V, C, RM, RG, " newer.dep", D, " window.ocx", V, C, RM, RG, " ...", " ..."},
     {}, Ending::Close},
    // The hung regsvr32 must end with the program: the run's end waits for all it started.
    {"Regsvr32RegistersOnWindows64AndAHungOneEndsWithTheProgram", Arg::Folder, false, Route::Regsvr32,
     {{L"stuck.dll", Component, Nowhere, 0, Wow64, "unregister"},
      {L"wow.dll", Component, Nowhere, 0, Wow64, kBoth}},
     {}, {"stuck.dll (0x800705B4)"}, Ending::End},
    {"AFailureIsReportedAndCloseStillRelaunches", Arg::Folder, false, Route::Either, {{L"kivnewlib.dll", Component}}, {}, {"Path not found"}, Ending::Close},
    {"DefaultFolderAndASecondInstanceRefused", Arg::Default, false, Route::Either, {{L"KIVDEF.dep", Plain, Nowhere, 0, System}}, {}, {}, Ending::Close, true},
    {"ARelativeFolderRegistersLikeAFullOne", Arg::Relative, true, Route::Either, {{L"kivrellib.dll", Component, Nowhere, 0, Library, kBoth}}, {}, {}, Ending::Close},
    // Registration code that needs COM; a component replaced before its import; an ended thread.
    {"ComponentsUsingCOMOrEachOtherOrEndingTheirThread", Arg::Folder, false, Route::Either,
     {{L"endthread.dll", Component, Nowhere, 0, Where64, "unregister"},
      {L"rwa.ocx", UsesHelper, System, 1, System, kBoth},
      {L"rwhelper.dll", Helper, System, 1, System, kBoth},
      {L"usescom.ocx", Component, Nowhere, 0, Where64, kBoth}},
     {}, {"endthread.dll (0x00000001)"}, Ending::Close},
    {"AComponentStuckInDllMainHoldsUpNothingAfterIt", Arg::Folder, false, Route::InProcess,
     {{L"crash.dll", Component, Nowhere, 0, Where64, "unregister"},
      {L"frozen.dll", Component, Nowhere, 0, Where64},
      {L"later.dll", Component, Nowhere, 0, Where64, kBoth},
      {L"zlast.dep", Plain, Nowhere, 0, System}},
     {}, {"crash.dll (0xC0000005)", "time-out", "frozen.dll (0x800705B4)"}, Ending::Close},
    // A copy of 64 MB: what holds its file is there before it is moved into place.
    {"AMomentsHoldIsWaitedOutAndTheCopyReachesTheDiskFirst", Arg::Folder, true, Route::Either, {{L"kivbiglib.dll", Big, Library, 1, Library}}, {}, {}, Ending::Close, false, 1000, false, true},
    {"AHoldOfTenSecondsLeavesTheInstalledFileWhole", Arg::Folder, true, Route::Either, {{L"kivbiglib.dll", Big, Library, 1, Nowhere}}, {}, {"70 - Permission denied"}, Ending::Close, false, 10000},
    {"AStagedFileHeldForAMomentIsCopied", Arg::Folder, true, Route::Either, {{L"kivbiglib.dll", Big, Library, 1, Library}}, {}, {}, Ending::Close, false, 1500, true},
    {"AStagedFileOpenForWritingIsNotCopied", Arg::Folder, true, Route::Either, {{L"kivbiglib.dll", Big, Library, 1, Nowhere}}, {}, {"70 - Permission denied"}, Ending::Close, false, 5000, true},
};
// Signed staging folders, run by the pinned build, and once by the unpinned one.
struct SignedRow {
    const char* name;
    const wchar_t* signer;
    Tamper tamper;
    bool pinned;
    size_t installed;  // the first files in name order; nothing from the refused one on
    const char* box;   // a piece of the one box, if any
};
const SignedRow kSignedRows[] = {
    {"ThePublishersListInstallsAsBefore", L"publisher", Tamper::None, true, 3, nullptr},
    {"TheNextCertificatesListInstallsToo", L"next", Tamper::None, true, 3, nullptr},
    {"AnUnpinnedBuildIgnoresTheList", L"forger", Tamper::None, false, 3, nullptr},
    {"AFileEditedAfterSigning", L"publisher", Tamper::EditFile, true, 1, "1100\r\rThe update's files are not the publisher's: this file is not as their signed list gives it"},
    {"AFileMadeNewerAfterSigning", L"publisher", Tamper::RetimeFile, true, 1, "not as their signed list gives it"},
    {"AFileNotListed", L"publisher", Tamper::AddFile, true, 1, "not on their signed list"},
    {"AListEditedWithItsDigestKept", L"publisher", Tamper::EditList, true, 0, "changed after it was signed"},
    {"AListEditedWithItsDigestUpdated", L"publisher", Tamper::EditListAndDigest, true, 0, "does not verify"},
    {"AListOfAnotherCertificateWithThePublishersName", L"forger", Tamper::None, true, 0, "signed by \"Kiv Software\" with a certificate that is not the publisher's"},
    {"AMissingList", L"publisher", Tamper::DropList, true, 0, "is missing or unreadable"},
    {"ASwapOfTheStagedFileInItsCopyIsRefused", L"big", Tamper::Swap, true, 1, nullptr},
};
// clang-format on

std::vector<Scenario> SignedScenarios() {
    std::vector<Scenario> scenarios;
    for (const SignedRow& row : kSignedRows) {
        Scenario s{row.name, Arg::Folder, true, Route::Either, {}, {}, {}, Ending::Close};
        for (const wchar_t* name :
             {L"kivsign1lib.dll", L"kivsign2alib.dll", L"kivsign2lib.dll", L"kivsign3lib.dll"}) {
            const bool unlisted = name[8] == L'a', in = s.files.size() < row.installed;
            if (!unlisted || row.tamper == Tamper::AddFile) {
                s.files.push_back({name, unlisted ? Component : Signed, Nowhere, 0,
                                   in ? Library : Nowhere, in ? kBoth : ""});
            }
        }
        if (row.tamper == Tamper::Swap) {  // a replacement in Library: not registered
            s.files = {{L"kivbiglib.dll", Signed, Library, 1, Library}};
            s.traced = s.holdStaged = true;
        }
        s.boxes = row.box ? std::vector<const char*>{row.box} : std::vector<const char*>{};
        s.signer = row.signer;
        s.tamper = row.tamper;
        s.pinned = row.pinned;
        scenarios.push_back(s);
    }
    return scenarios;
}

// Each run starts a copy of kivupdate.exe in the installation folder, beside a DLL planted
// under each name it loads that is not a KnownDLL (also in its current folder), native first
// so that wine searches as Windows does. Left out: ucrtbase, zlib1, version, win32u, combase,
// shcore, imm32, which wine's system DLLs load before the program's first line and which
// Windows takes from the system folder there.
const wchar_t* const kPlanted[] = {L"uxtheme", L"msimg32", L"comctl32"};
const wchar_t* const kLoadOrder = L"Software\\Wine\\AppDefaults\\kivupdate.exe";

std::string Bytes(What what, const std::wstring& name) {
    static const wchar_t* const builds[] = {
        L"kivtestcom.dll",    nullptr,           nullptr,
        L"kivsiblinglib.dll", L"kivuseslib.dll", L"rwhelper.dll",
        L"rwa.ocx",           nullptr,           nullptr};
    if (builds[what] == nullptr) {  // made here, not built
        return what == Plain ? "staged " + Utf8(name)
                             : std::string(what == Big ? 64 << 20 : 0, 'k');
    }
    return ReadBytes(OwnFolder() + L"\\" + builds[what]).value();  // built beside the suite
}
// Unlike the staged copy, yet a component still loads: the loader ignores bytes after it.
std::string Installed(const File& file) {
    return Bytes(file.what, file.name) + "installed";
}

// Everything one run puts on the disk, removed again when the run is over.
class Stage {
public:
    // The default folder is where CSIDL 26 is.
    Stage(const Scenario& s)
        : folder_(s.arg == Arg::Default ? _wgetenv(L"APPDATA") + std::wstring(L"\\Kiv Aldervik")
                                        : NewTemporaryFolder()) {
        if (s.arg == Arg::Default && !CreateDirectoryW(folder_.c_str(), nullptr)) {
            throw std::runtime_error("the default installation folder exists already");
        }
        if (s.arg == Arg::LongFolderAndBlanks) {  // paths of 240 to 300 characters below it
            folder_ += L"\\" + std::wstring(235 - folder_.size(), L'l');
            CreateDirectoryW(folder_.c_str(), nullptr);
        }
        CreateDirectoryW(Path(Library, L"").c_str(), nullptr);
        CreateDirectoryW((folder_ + L"\\support").c_str(), nullptr);
        CopyBuilt(L"kivapp1.exe", folder_ + L"\\kivapp1.exe");
        if (s.route == Route::Regsvr32 && !HasOrdinaryFile(Wow64Folder())) {
            Place(Wow64Folder() + L"\\regsvr32.exe",
                  *ReadBytes(SystemDirectoryW() + L"\\regsvr32.exe"), kStaged);
        }
        for (const File& file : s.files) {
            for (Where where : {System, Wow64}) {
                Claim(Path(where, file.name));
            }
            if (file.what != Signed) {
                WriteNew(folder_ + L"\\support\\" + file.name, Bytes(file.what, file.name),
                         kStaged);
            }
            if (file.installed != Nowhere) {
                ULARGE_INTEGER time = {{kStaged.dwLowDateTime, kStaged.dwHighDateTime}};
                time.QuadPart -= file.age * 10000000;
                Place(Path(file.installed, file.name), Installed(file),
                      {time.LowPart, time.HighPart});
            }
        }
        if (!s.library) {
            RemoveDirectoryW(Path(Library, L"").c_str());
        }
        CreateDirectoryW((folder_ + L"\\current").c_str(), nullptr);
        for (const wchar_t* name : kPlanted) {
            for (const std::wstring& folder : {folder_, folder_ + L"\\current"}) {
                CopyBuilt(L"kivplanted.dll", folder + L"\\" + name + L".dll");
            }
            RegSetKeyValueW(HKEY_CURRENT_USER,
                            (kLoadOrder + std::wstring(L"\\DllOverrides")).c_str(), name, REG_SZ,
                            L"native,builtin", sizeof L"native,builtin");
        }
        CopyBuilt(s.pinned ? L"kivpinned.exe" : L"kivupdate.exe", folder_ + L"\\kivupdate.exe");
        if (s.signer) {
            CopyFolder(OwnFolder() + L"\\signed\\" + s.signer, folder_ + L"\\support");
        }
        wow64_ = HasOrdinaryFile(Wow64Folder());
    }
    ~Stage() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kLoadOrder);
        for (const auto& path : claimed_) {
            DeleteFileW(path.c_str());
        }
        RemoveTree(folder_);
    }

    static bool HasOrdinaryFile(const std::wstring& folder) {
        const auto names = Names(folder);
        return std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return !(GetFileAttributesW((folder + L"\\" + name).c_str()) &
                     (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        });
    }
    std::wstring Path(Where where, const std::wstring& name) const {
        const std::wstring folders[] = {L"", SystemDirectoryW(), Wow64Folder(),
                                        folder_ + L"\\Library",
                                        wow64_ ? Wow64Folder() : SystemDirectoryW()};
        return folders[where] + L"\\" + name;
    }
    const std::wstring& Folder() const { return folder_; }
    // The 64-bit route: SysWOW64 holds files.
    bool Route64() const { return wow64_; }

private:
    static void CopyFolder(const std::wstring& from, const std::wstring& to) {
        CreateDirectoryW(to.c_str(), nullptr);
        for (const std::wstring& name : Names(from)) {
            if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), TRUE)) {
                CopyFolder(from + L"\\" + name, to + L"\\" + name);
            }
        }
    }
    // Only files this run made are removed afterwards: one already there stops the run.
    void Claim(const std::wstring& path) {
        if (Exists(path)) {
            throw std::runtime_error("left from an earlier run: " + Utf8(path));
        }
        claimed_.push_back(path);
    }
    void Place(const std::wstring& path, const std::string& bytes, FILETIME time) {
        if (path.rfind(folder_, 0) != 0) {
            Claim(path);
        }
        WriteNew(path, bytes, time);
    }

    std::wstring folder_;
    std::vector<std::wstring> claimed_;
    bool wow64_ = false;
};

// Traces the flushes of this process and all it starts (wine flushes a file by fsync, which
// strace -y names), or, given a file, their reads of it, until the trace is read; by a program
// of the host that wine starts beside this one, which finds this one's Linux process: /proc/self
// would be wine's server. Gives where the trace goes.
std::wstring StartTrace(const std::wstring& readFile = L"") {
    const std::string path = "/tmp/kiv-trace-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64());  // wine's process ids repeat
    const std::wstring trace = L"Z:" + std::wstring(path.begin(), path.end());
    const auto unixName = BoundCall<char*(__cdecl*)(const wchar_t*)>(
        GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!readFile.empty()) {  // named in a file: the command line cannot hold every letter
        WriteNew(trace + L".path", unixName(readFile.c_str()), kStaged);
    }
    const std::string line =
        "Z:\\bin\\sh -c \"for p in /proc/[0-9]*; do grep -qa e2e_tests\\\\.exe $p/cmdline "
        "2>/dev/null && "
        "grep -qzx WINEPREFIX=$WINEPREFIX $p/environ && pid=${p#/proc/}; done; "
        "if [ -e $0.path ]; then set -- -e trace=read,pread64 -P \\\"$(cat $0.path)\\\"; "
        "else set -- -e trace=fsync,fdatasync; fi; "
        "strace -f -qq -y -o $0.part -p $pid \\\"$@\\\" & s=$!; for i in $(seq 900); do "
        "[ -e $0.stop ] && break; sleep 0.1; done; kill -INT $s; wait $s; mv $0.part $0\" " +
        path;
    EXPECT_GT(WinExec(line.c_str(), SW_HIDE), 31u);
    Sleep(1000);  // strace has attached to every thread
    return trace;
}
std::string ReadTrace(const std::wstring& trace) {
    WriteNew(trace + L".stop", "", kStaged);
    Within(30000, [&] { return Exists(trace); });
    const std::string lines = ReadBytes(trace).value_or("");
    for (const wchar_t* part : {L"", L".stop", L".path"}) {
        DeleteFileW((trace + part).c_str());
    }
    return lines;
}
// The bytes the reads of a trace gave.
uint64_t BytesRead(const std::string& trace) {
    uint64_t total = 0;
    for (size_t at = trace.find(") = "); at != std::string::npos; at = trace.find(") = ", at + 1)) {
        total += std::strtoull(trace.c_str() + at + 4, nullptr, 10);
    }
    return total;
}

// Does to a staged, signed folder what the row says, each time to the second file or the list.
void TamperWith(const std::wstring& support, Tamper tamper) {
    const std::wstring second = support + L"\\kivsign2lib.dll",
                       list = support + L"\\signed\\files.lst",
                       signature = support + L"\\signed\\files.p7s";
    const bool ofList = tamper == Tamper::EditList || tamper == Tamper::EditListAndDigest;
    const std::string bytes = ReadBytes(ofList ? list : second).value_or("");
    WIN32_FILE_ATTRIBUTE_DATA look = {};
    GetFileAttributesExW(second.c_str(), GetFileExInfoStandard, &look);
    const auto rewrite = [](const std::wstring& path, const std::string& with, FILETIME time) {
        DeleteFileW(path.c_str());
        WriteNew(path, with, time);
    };
    std::string edited = bytes;
    edited[edited.find('\n') + 1] ^= 1;  // a digit of the first file's SHA-256
    if (tamper == Tamper::EditFile) {
        rewrite(second, bytes + "x", look.ftLastWriteTime);
    } else if (tamper == Tamper::RetimeFile) {
        look.ftLastWriteTime.dwHighDateTime += 200;  // a day later
        rewrite(second, bytes, look.ftLastWriteTime);
    } else if (ofList) {
        rewrite(list, edited, kStaged);
    } else if (tamper == Tamper::DropList) {
        DeleteFileW(list.c_str());
    }
    if (tamper == Tamper::EditListAndDigest) {  // the signed attribute, not its signature
        std::string signed_ = ReadBytes(signature).value_or("");
        const auto was = Sha256::Of(bytes), is = Sha256::Of(edited);
        const size_t at = signed_.find(std::string(was.begin(), was.end()));
        ASSERT_NE(at, std::string::npos);
        signed_.replace(at, is.size(), std::string(is.begin(), is.end()));
        rewrite(signature, signed_, kStaged);
    }
}

// Rows of both tables print, and are named, by their names.
template <typename Row, typename = decltype(Row::name)>
std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << row.name;
}
const auto kRowName = [](const auto& info) { return std::string(info.param.name); };
class Scenarios : public ::testing::TestWithParam<Scenario> {};

TEST_P(Scenarios, Run) {
    const Scenario& s = GetParam();
    if ((s.route == Route::Regsvr32 && !Exists(Wow64Folder())) ||
        (s.route == Route::InProcess && Stage::HasOrdinaryFile(Wow64Folder()))) {
        GTEST_SKIP() << "a route this Windows does not take";
    }
    Stage stage(s);
    const std::wstring record = stage.Folder() + L"\\components.record";
    SetEnvironmentVariableW(L"KIV_COMPONENT_RECORD", record.c_str());
    const bool relative = s.arg == Arg::Relative;
    const std::wstring folder = relative ? L"." : stage.Folder();  // as the program has it
    const std::wstring argument = s.arg == Arg::Default               ? L""
                                  : s.arg == Arg::LongFolderAndBlanks ? folder + L"  "
                                                                      : folder;
    const std::wstring image = stage.Folder() + L"\\kivupdate.exe";
    const std::wstring command = L"\"" + image + L"\"" + (argument.empty() ? L"" : L" " + argument);
    const File& first = s.files[0];
    const std::wstring held = s.holdStaged ? stage.Folder() + L"\\support\\" + first.name
                                           : stage.Path(first.installed, first.name);
    const bool swap = s.tamper == Tamper::Swap;
    const std::wstring trace = s.traced ? StartTrace(swap ? held : L"") : L"";
    TamperWith(stage.Folder() + L"\\support", s.tamper);
    std::optional<Program> holder;
    if (swap) {  // once the copy has begun, in the program's temporary file
        WriteNew(stage.Folder() + L"\\other.dll", "other bytes", kStaged);
        holder.emplace(L"\"" + stage.Folder() + L"\\kivapp1.exe\" --swap \"" + held + L"\" \"" +
                       stage.Folder() + L"\\other.dll\" \"" + stage.Path(Library, L"~kiv*.kivnew") +
                       L"\"");
    }
    if (s.holdMs) {  // a writer holds its file before the program starts: it appends at once
        holder.emplace(
            L"\"" + stage.Folder() + L"\\kivapp1.exe\" --hold " + std::to_wstring(s.holdMs) +
            L" \"" + held + L"\"" +
            (s.holdStaged ? L"" : L" \"" + stage.Path(first.installed, L"~kiv*.kivnew") + L"\""));
        ASSERT_TRUE(!s.holdStaged ||
                    Within(5000, [&] { return ReadBytes(held)->size() > 64 << 20; }));
    }
    Program program(command, (stage.Folder() + (relative ? L"" : L"\\current")).c_str());
    for (const char* piece : s.boxes) {
        const auto box = program.NextBox(15000);
        ASSERT_TRUE(box) << "expected a box with \"" << piece << "\"; " << program.status;
        EXPECT_NE(box->text.find(piece), std::string::npos) << box->text;
        program.Answer(*box);
    }
    const auto extra = program.NextBox(15000);
    ASSERT_FALSE(extra) << "unexpected box: " << extra->text;
    ASSERT_TRUE(program.PassEnded()) << program.status;
    EXPECT_TRUE(!holder || holder->Exit(15000) == 0u) << "it held nothing up";

    std::vector<std::string> log = {"...", "...", "Path = " + Utf8(folder) + "\\support",
                                    "File Count = " + std::to_string(s.files.size())},
                             shown = program.Log();
    if (s.log.empty()) {
        shown.resize(std::min(shown.size(), log.size()));
    }
    log.insert(log.end(), s.log.begin(), s.log.end());
    EXPECT_EQ(shown, log);
    const HWND window = program.Window();
    RECT client = {};
    GetClientRect(window, &client);
    const kiv::WindowDc screen(nullptr);
    EXPECT_EQ(client.right, MulDiv(404, GetDeviceCaps(screen.Get(), LOGPIXELSX), 96));
    EXPECT_EQ(client.bottom, MulDiv(419, GetDeviceCaps(screen.Get(), LOGPIXELSY), 96));
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE), WS_EX_LAYERED);
    RECT step = {};  // sized to " ..." rather than to its design caption
    GetWindowRect(GetDlgItem(window, ui::LabelId(label::Step)), &step);
    EXPECT_LT(step.right - step.left, MulDiv(30, GetDeviceCaps(screen.Get(), LOGPIXELSX), 96));
    const HWND bitness = GetDlgItem(window, ui::LabelId(label::Bitness));
    EXPECT_EQ(IsWindowVisible(bitness) != FALSE, stage.Route64());

    if (s.secondInstance) {
        Program second(command);
        const auto box = second.NextBox(15000);
        ASSERT_TRUE(box) << second.status;
        second.Answer(*box);
        EXPECT_EQ(second.Exit(15000), 1u);
        EXPECT_EQ(second.Window(), nullptr);
    }
    // What it starts for a registration is itself: its file cannot be swapped meanwhile.
    EXPECT_FALSE(MoveFileW(image.c_str(), (image + L".moved").c_str())) << "swappable";
    s.ending == Ending::End ? program.PressEnd() : program.Close();
    EXPECT_EQ(program.Exit(15000), 0u) << program.status;

    const std::string traced = s.traced ? ReadTrace(trace) : "";
    EXPECT_TRUE(!s.traced || swap || traced.find(".kivnew>)") != std::string::npos)
        << "no flush of the copy";
    // Checked and copied from one open: a second would let another program change it between.
    EXPECT_TRUE(!swap || BytesRead(traced) == 64u << 20) << "read more than once:\n" << traced;
    WIN32_FIND_DATAW found;
    EXPECT_FALSE(ScopedFindHandle(FindFirstFileW(stage.Path(Library, L"~kiv*").c_str(), &found)))
        << "a temporary file is left";
    const auto starts = Records(stage.Folder() + L"\\kivapp1.record", 4);
    ASSERT_EQ(starts.size(), s.ending == Ending::End ? 0u : 1u);
    if (!starts.empty()) {  // shown minimized: the adapter suite
        EXPECT_EQ(starts[0][3], "\"" + Utf8(folder) + "\\kivapp1.exe\"" + Utf8(argument));
    }

    const auto calls = Records(record, 5);
    for (const auto& call : calls) {
        EXPECT_FALSE(call[0] == "loaded" && call[4].find("kivupdate.exe") != std::string::npos)
            << "a planted DLL: " << call[3];
    }
    for (const File& file : s.files) {
        SCOPED_TRACE(Utf8(file.name));
        if (file.staged != Nowhere) {
            EXPECT_TRUE(ReadBytes(stage.Path(file.staged, file.name)) ==
                        ReadBytes(stage.Folder() + L"\\support\\" + file.name))
                << "the staged copy is installed";
        } else if (file.installed != Nowhere) {
            EXPECT_EQ(ReadBytes(stage.Path(file.installed, file.name)), Installed(file));
        } else {
            EXPECT_FALSE(Exists(stage.Path(Library, file.name)) ||
                         Exists(stage.Path(Where64, file.name)))
                << "installed";
        }
        std::string received;
        for (const auto& call : calls) {
            if (call[3].find(Utf8(L"\\" + std::wstring(file.name))) == std::string::npos) {
                continue;
            }
            received += (received.empty() ? "" : " ") + call[0];
            const bool byRegsvr32 = call[4].find("regsvr32.exe") != std::string::npos;
            EXPECT_EQ(byRegsvr32, stage.Route64());
            EXPECT_TRUE(byRegsvr32 ||
                        (call[2] != std::to_string(program.Id()) && call[4] == Utf8(image)))
                << "in a process of the program's own file";
        }
        EXPECT_EQ(received, file.calls);
    }
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Scenarios, ::testing::ValuesIn(kScenarios), kRowName);
INSTANTIATE_TEST_SUITE_P(Signed, Scenarios, ::testing::ValuesIn(SignedScenarios()), kRowName);

// Requests made of the window during the pass and after it, by every way one can arrive:
// sent, posted, typed and clicked (real input, through the X server's test extension).
// The pass: a component whose registration takes 3 s and fails (a wait, then a box), then
// a file that is installed only if the pass went on to its end.
enum class At { Wait, Box, After };
// How a request arrives: a message sent or posted to the window or to End, or real input.
struct Arrival {
    UINT message;
    WPARAM wParam;
    bool toEnd;         // to the End button, else to the window
    bool sent;          // else posted
    const char* input;  // instead, what xdotool types or clicks
};
struct Act {
    At at;
    Arrival way;
    LRESULT answer = -1;  // what the sent message gives back, where that matters
};
struct RequestRow {
    const char* name;
    std::vector<Act> acts;
    bool relaunched;
    bool whole;  // the pass went on to its end
};
// clang-format off
namespace Way {
constexpr Arrival SendClose{WM_CLOSE, 0, false, true, nullptr};
constexpr Arrival PostClose{WM_CLOSE, 0, false, false, nullptr};
constexpr Arrival SendSysClose{WM_SYSCOMMAND, SC_CLOSE, false, true, nullptr};
constexpr Arrival PostSysClose{WM_SYSCOMMAND, SC_CLOSE, false, false, nullptr};
constexpr Arrival SendEnd{BM_CLICK, 0, true, true, nullptr};
constexpr Arrival PostEnd{BM_CLICK, 0, true, false, nullptr};
constexpr Arrival TypeAltF4{0, 0, false, false, "key alt+F4"};
constexpr Arrival ClickEnd{0, 0, true, false, "click 1"};
constexpr Arrival AskEndSession{WM_QUERYENDSESSION, 0, false, true, nullptr};
constexpr Arrival EndSession{WM_ENDSESSION, TRUE, false, true, nullptr};
constexpr Arrival PostQuit{WM_QUIT, 0, false, false, nullptr};  // as a component once did
}  // namespace Way
const RequestRow kRequestRows[] = {
    {"APostedCloseInAWaitWinsOverASentEnd", {{At::Wait, Way::PostClose}, {At::Box, Way::SendEnd}}, true, true},
    {"APostedEndInAWaitWinsOverAPostedClose", {{At::Wait, Way::PostEnd}, {At::Box, Way::PostClose}}, false, true},
    {"ATypedAltF4InAWaitLeavesTheBoxUp", {{At::Wait, Way::TypeAltF4}}, true, true},
    {"AClickOnEndInAWaitWinsOverASentClose", {{At::Wait, Way::ClickEnd}, {At::Box, Way::SendSysClose}}, false, true},
    {"InputOnABoxAnswersOnlyTheBoxAndAltF4AfterCloses", {{At::Box, Way::ClickEnd}, {At::Box, Way::TypeAltF4}, {At::After, Way::TypeAltF4}}, true, true},
    {"TheSessionEndIsRefusedInThePassAndACloseSentAfterEndsIt", {{At::Wait, Way::AskEndSession, FALSE}, {At::After, Way::AskEndSession, TRUE}, {At::After, Way::SendClose}}, true, true},
    {"AnEndingSessionEndsTheProgramWithoutRelaunch", {{At::Wait, Way::PostSysClose}, {At::Wait, Way::EndSession}}, false, false},
    {"AQuitPostedInAWaitIsACloseThatLeavesTheBoxUp", {{At::Wait, Way::PostQuit}}, true, true},
};
const Scenario kRequestPass = {"", Arg::Folder, false, Route::Either,
    {{L"slowfails.dll", Component, Nowhere, 0, Where64}, {L"zlast.dep", Plain, Nowhere, 0, System}}, {}, {}, Ending::Close};
// clang-format on

// Wine starts a program of the host beside this one, with no handle to wait on.
void Xdotool(HWND window, const std::string& what) {
    RECT place = {};
    GetWindowRect(window, &place);
    const std::string line = "Z:\\usr\\bin\\xdotool mousemove 0 0 sleep 0.1 mousemove " +
                             std::to_string((place.left + place.right) / 2) + " " +
                             std::to_string((place.top + place.bottom) / 2) + " sleep 0.1 " + what;
    ASSERT_GT(WinExec(line.c_str(), SW_SHOWNORMAL), 31u);
    Sleep(500);
}

void Do(const Program& program, const Act& act) {
    const HWND window = program.Window();
    const HWND to = act.way.toEnd ? GetDlgItem(window, ui::kCommand1Id) : window;
    DWORD_PTR answer = 0;
    bool answered = true;
    if (act.way.input) {
        Xdotool(to, act.way.input);
    } else if (act.way.sent) {
        answered = SendMessageTimeoutW(to, act.way.message, act.way.wParam, 0, SMTO_NORMAL, 2000,
                                       &answer) != 0;
    } else {
        PostMessageW(to, act.way.message, act.way.wParam, 0);
    }
    if (act.answer >= 0) {
        EXPECT_TRUE(answered && static_cast<LRESULT>(answer) == act.answer) << act.way.message;
    }
}

class Requests : public ::testing::TestWithParam<RequestRow> {};

TEST_P(Requests, WaitForThePassAndTheFirstIsCarriedOut) {
    const RequestRow& row = GetParam();
    if (!Exists(L"Z:\\usr\\bin\\xdotool")) {
        GTEST_SKIP() << "no xdotool to type and click with";
    }
    Stage stage(kRequestPass);
    Program program(L"\"" + stage.Folder() + L"\\kivupdate.exe\" " + stage.Folder());
    const auto act = [&](At at) {
        for (const Act& each : row.acts) {
            if (each.at == at) {
                Do(program, each);
            }
        }
    };
    ASSERT_TRUE(Within(15000, [&] { return !program.Log().empty() && program.Log().back() == RG; }))
        << "the registration never began";
    act(At::Wait);
    if (row.whole) {
        const auto box = program.NextBox(15000);
        ASSERT_TRUE(box) << program.status;
        act(At::Box);
        Sleep(300);
        const bool typedAtTheBox = std::any_of(row.acts.begin(), row.acts.end(), [](const Act& a) {
            return a.at == At::Box && a.way.input == Way::TypeAltF4.input;
        });
        ASSERT_EQ(IsWindowVisible(box->handle) != FALSE, !typedAtTheBox) << "the box is up";
        EXPECT_TRUE(typedAtTheBox || GetForegroundWindow() == box->handle) << "it keeps the focus";
        if (!typedAtTheBox) {
            program.Answer(*box);
        }
        ASSERT_FALSE(program.NextBox(15000)) << "a second box";
        act(At::After);
    }
    EXPECT_EQ(program.Exit(15000), 0u) << program.status;
    EXPECT_EQ(Records(stage.Folder() + L"\\kivapp1.record", 4).size(), row.relaunched ? 1u : 0u);
    EXPECT_EQ(Exists(stage.Path(System, L"zlast.dep")), row.whole);
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Requests, ::testing::ValuesIn(kRequestRows), kRowName);

}  // namespace
}  // namespace kiv::e2e
