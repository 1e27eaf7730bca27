#include <climits>
#include <functional>

#include "ui/PassRequests.h"
#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

class ProgramTest : public ProgramFixture {
protected:
    // Runs the program; its exit code, or the code it ended the process with.
    int Run(const std::string& commandLine) {
        win->runtime.commandLine = commandLine;
        MessageBase = -1;  // Main sets it
        try {
            return RunMain(state);
        } catch (const fake::ProgramEnded& ended) {
            return ended.exitCode;
        }
    }
};

TEST_F(ProgramTest, TheWindowIsLayeredRunsThePassOnceAndLogsOnlyCaptionsThatChange) {
    RunPass();
    // Everything from the first repaint to the last box is the pass's.
    EXPECT_EQ(Traced({"begin pass", "refresh window"}),
              (Lines{"begin pass Updating Software...", "refresh window"}));
    EXPECT_EQ(win->trace.back(), "end pass");
    EXPECT_EQ(win->view.exStyle, 0x80000u);
    EXPECT_EQ(win->view.alpha, 200);
    const Lines trace = win->trace;
    form->Form_Activate();
    EXPECT_EQ(win->trace, trace);
    form->SetCaption(label::Step, "a");
    form->SetCaption(label::Step, "a");
    form->SetCaption(label::File, "a");
    EXPECT_EQ(Tail(win->view.log, 4), (Lines{" ...", " ...", "a", "a"}));
}

TEST_F(ProgramTest, ProgressStepsByTenWrapsAndFills) {
    const int32_t overflow = INT32_MIN;
    const auto step = ProgressMove::Step;
    // clang-format off
    struct Move { int32_t minimum, maximum, value; ProgressMove move; int32_t after; };
    const Move moves[] = {  // after: overflow is error 6, the value unchanged
        {0, 100, 0, step, 10}, {0, 100, 89, step, 99}, {0, 100, 90, step, 10} /* 90 is not below 100 - 10 */,
        {0, 15, 10, step, 10}, {5, 100, 95, step, 15}, {0, 100, 30, ProgressMove::Fill, 100},
        {INT32_MIN, INT32_MIN + 5, 0, step, overflow},          // maximum - 10
        {INT32_MAX - 3, INT32_MAX, INT32_MAX, step, overflow},  // minimum + 10
        {INT32_MAX - 20, INT32_MAX, INT32_MAX - 20, step, INT32_MAX - 10},
    };
    // clang-format on
    RunPass();
    for (const Move& m : moves) {
        SCOPED_TRACE(std::to_string(m.minimum) + ".." + std::to_string(m.maximum) + " at " +
                     std::to_string(m.value));
        win->view.minimum = m.minimum;
        win->view.maximum = m.maximum;
        win->view.value = m.value;
        int32_t error = 0;
        TrapRuntimeErrors([&] { form->Progress_Move(m.move); },
                          [&](const RuntimeError& raised) { error = raised.Number(); });
        EXPECT_EQ(error, m.after == overflow ? 6 : 0);
        EXPECT_EQ(win->view.value, m.after == overflow ? m.value : m.after);
    }
}

// No folder here has a staging folder: each pass fails, and the program relaunches all the same.
TEST_F(ProgramTest, ClosingTheWindowRelaunchesWithTheArgumentTextUntrimmed) {
    // clang-format off
    // The program's command line as Windows gives it, and the relaunch's. Blanks and tabs
    // after the program's name never reach the program; blanks at the end are trimmed from
    // the folder, a tab is not.
    struct Row { const char* started; const char* commandLine; };
    const Row rows[] = {
        {"kivupdate.exe", "\"C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik\\kivapp1.exe\""},
        {"\"C:\\Kiv\\kivupdate.exe\" \t  ", "\"C:\\Users\\ann\\AppData\\Roaming\\Kiv Aldervik\\kivapp1.exe\""},
        {"kivupdate.exe D:\\P", "\"D:\\P\\kivapp1.exe\"D:\\P"},
        {"\"C:\\Program Files\\kivupdate.exe\"D:\\P\\", "\"D:\\P\\\\kivapp1.exe\"D:\\P\\"},
        {"kivupdate.exe D:\\P  ", "\"D:\\P\\kivapp1.exe\"D:\\P  "},
        {"kivupdate.exe \"D:\\My P\" ", "\"D:\\My P\\kivapp1.exe\"\"D:\\My P\" "},  // quotes only quote it
        {"kivupdate.exe \"D:\\P", "\"\"D:\\P\\kivapp1.exe\"\"D:\\P"},
        {"kivupdate.exe D:\\P\t", "\"D:\\P\t\\kivapp1.exe\"D:\\P\t"},
        {"kivupdate.exe\t \tD:\\P", "\"D:\\P\\kivapp1.exe\"D:\\P"},
        {"kivupdate.exe Prod", "\"Prod\\kivapp1.exe\"Prod"},  // relative, as Windows resolves it
    };
    // clang-format on
    // Every other row starts as the desktop's user; the rest fall back to the direct start:
    // the same line either way.
    bool desktop = false;
    for (const auto& [started, commandLine] : rows) {
        desktop = !desktop;
        SCOPED_TRACE(started + std::string(desktop ? " as the desktop's user" : ""));
        Reset();
        win->runtime.desktopStarts = desktop;
        EXPECT_EQ(Run(started), 0);
        const std::string start = std::string(commandLine) + " | show 2";
        const Lines fallback = desktop ? Lines{} : Lines{"start " + start};
        EXPECT_EQ(Tail(win->trace, 2 + fallback.size()),
                  (Lines{"doevents", "desktop start " + start} + fallback));
        EXPECT_EQ(Traced({"doevents"}).size(), 2u);  // on activation, and after the window
        EXPECT_EQ(Traced({"box Updating Software..."}).size(), 1u);
        EXPECT_EQ(MessageBase, 20000);
    }
}

// How the program ends other than by a close after the pass; each row's trace ends so.
TEST_F(ProgramTest, EndUnhandledErrorsAndASecondInstanceEndTheProgramWithoutRelaunch) {
    // clang-format off
    struct Row { const char* name; std::function<void(fake::Windows&)> arrange; int exitCode; Lines traceEnd; };
    const Row rows[] = {
        {"a second instance", [](auto& w) { w.runtime.anotherInstance = true; }, 1,
         {"beep", "box Kiv Software 16: ''kivALDERVIK '' is already open !"}},
        {"End", [](auto& w) { w.view.pressEnd = true; }, 0, {"end pass", "doevents", "end 0"}},
        {"a relaunch that fails", [](auto& w) { w.Inject("relaunch", 53); }, 3,
         {"start \"C:\\Kiv\\kivapp1.exe\"C:\\Kiv | show 2", "box kivupdate 16: Run-time error '53':\r\n\r\nFile not found", "end 3"}},
        {"no file-system object", [](auto& w) { w.Inject("create", 429); }, 3,
         {"doevents", "box kivupdate 16: Run-time error '429':\r\n\r\nActiveX component can't create object", "end 3"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        row.arrange(*win);
        EXPECT_EQ(Run("kivupdate.exe C:\\Kiv"), row.exitCode);
        // A second instance does nothing else.
        EXPECT_EQ(row.exitCode == 1 ? win->trace : Tail(win->trace, row.traceEnd.size()),
                  row.traceEnd);
    }
}

TEST_F(ProgramTest, WithoutAnApplicationDataFolderTheRootOfTheDriveIsUsed) {
    win->shell.folders.clear();
    EXPECT_EQ(Run("kivupdate.exe"), 0);
    EXPECT_EQ(win->trace.back(), "start \"\\Kiv Aldervik\\kivapp1.exe\" | show 2");
}

// Anyone can take the open name first, so it counts only where the administrators' cannot be made.
TEST(InstanceGuard, TheAdministratorsNameDecidesWhereItCanBeMade) {
    using C = Claim;
    // clang-format off
    struct Row { Claim administratorsName, openName; bool heldByAnotherCopy; };
    const Row rows[] = {{C::Made, C::HeldElsewhere, false}, {C::HeldElsewhere, C::Made, true},
        {C::NotMade, C::HeldElsewhere, true}, {C::NotMade, C::Made, false}, {C::NotMade, C::NotMade, false}};
    // clang-format on
    for (const Row& row : rows) {
        fake::GuardNames names(row.administratorsName, row.openName);
        EXPECT_EQ(AnotherCopyHoldsTheGuard(names), row.heldByAnotherCopy)
            << int(row.administratorsName) << int(row.openName);
    }
}

// The English texts are read by the tests of the pass and of its error report.
TEST_F(ProgramTest, TheLanguageOfMessageBaseOrAMarkerWithTheCodeAsPassed) {
    win->strings.texts[21100] = "";      // an empty entry of a bundle
    win->strings.texts[0] = "wrapped";   // reachable only through wrap-around
    win->strings.texts[65535] = "last";  // the highest identifier there is
    // clang-format off
    struct Lookup { int32_t messageBase, code; const char* text; };
    const Lookup lookups[] = {
        {0, 1051, "DLL Kopiëren naar Bestemming"},
        {10000, 1009, " Définir le chemin d'accès du Fichier..."},
        {20000, 1091, " [LL 1091 ?] "},  // a gap inside the block
        {20000, 1100, " [LL 1100 ?] "},  // the empty entry
        {20000, -20001, " [LL -20001 ?] "},  // identifier -1
        {20000, 45535, "last"},
        {20000, 45536, " [LL 45536 ?] "},                // identifier 65536
        {65536, 1009, " [LL 1009 ?] "},                  // 1009 when cut to 16 bits
        {20000, INT32_MAX, " [LL 2147483647 ?] "},       // beyond 32 bits
        {INT32_MIN, INT32_MIN, " [LL -2147483648 ?] "},  // 0 when wrapped to 32 bits
    };
    // clang-format on
    for (const Lookup& lookup : lookups) {
        MessageBase = lookup.messageBase;
        EXPECT_EQ(LoadMessage(lookup.code), lookup.text)
            << lookup.messageBase << " " << lookup.code;
    }
    MessageBase = 20000;
    win->strings.texts[21019] = "Datei :  ";  // the table is read afresh on every call
    EXPECT_EQ(LoadMessage(1019), "Datei :  ");
}

// Requests reach the window out of the order they were made in (queued input is taken
// later than a message sent at once); of those made during the pass, the first made is
// carried out after it, once.
TEST(PassRequestsTest, TheFirstRequestMadeDuringThePassIsCarriedOutOnceAfterIt) {
    using R = Request;
    // clang-format off
    struct Row { const char* name; std::vector<std::pair<Request, uint32_t>> arrivals; Request afterThePass; };
    const Row rows[] = {  // arrivals: what and when it was made, in the order taken
        {"none", {}, R::None},
        {"input that asks for nothing", {{R::None, 1}}, R::None},
        {"end, then close", {{R::End, 5}, {R::Close, 9}, {R::None, 1}}, R::End},
        {"a close made first, taken later", {{R::End, 9}, {R::Close, 5}}, R::Close},
        {"made at once: the first taken", {{R::Close, 5}, {R::End, 5}}, R::Close},
        {"across the wrap of the tick count", {{R::End, 3}, {R::Close, 0xFFFFFFF0}}, R::Close},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PassRequests requests;
        EXPECT_EQ(requests.Arrive(Request::End, 0), Request::End);  // before the pass: at once
        requests.BeginPass();
        EXPECT_FALSE(requests.MaySessionEnd());
        for (const auto& [request, madeAt] : row.arrivals) {
            EXPECT_EQ(requests.Arrive(request, madeAt), Request::None);
        }
        EXPECT_EQ(requests.EndPass(), row.afterThePass);
        EXPECT_TRUE(requests.MaySessionEnd());
        EXPECT_EQ(requests.Arrive(Request::Close, 0), Request::Close);
        EXPECT_EQ(requests.EndPass(), Request::None);  // nothing held twice
    }
}

}  // namespace
}  // namespace kiv::testing
