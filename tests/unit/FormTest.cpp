#include <climits>

#include "unit/ProgramFixture.h"

namespace kiv::testing {
namespace {

class FormTest : public ProgramFixture {
protected:
    void Load() {
        form = std::make_unique<FrmUpdate>();
        windows().view.CreateUpdateView(*form);
        form->Form_Load();
    }
};

TEST_F(FormTest, LoadingLogsBothLabelsAndMakesTheWindowLayeredAlone) {
    Load();
    EXPECT_EQ(windows().view.log, (std::vector<std::string>{"...", "..."}));
    EXPECT_EQ(windows().view.labels[label::File], "...");
    EXPECT_EQ(windows().view.labels[label::Step], "...");
    EXPECT_EQ(windows().view.exStyle, 0x80000u);
    EXPECT_EQ(windows().view.alpha, 200);
}

TEST_F(FormTest, OnlyACaptionThatChangesAddsALogLine) {
    Load();
    form->SetCaption(label::Step, "...");
    form->SetCaption(label::Step, "a");
    form->SetCaption(label::Step, "a");
    form->SetCaption(label::File, "a");
    EXPECT_EQ(windows().view.log, (std::vector<std::string>{"...", "...", "a", "a"}));
}

TEST_F(FormTest, OnlyTheFirstActivationRunsThePass) {
    Load();
    form->Form_Activate();
    form->Form_Activate();
    EXPECT_EQ(windows().files.fileSystemsCreated, 1);
    EXPECT_EQ(windows().view.log.size(), 6u);
    EXPECT_EQ(windows().runtime.doEvents, 1);
}

TEST_F(FormTest, EndProcessesMessagesThenEndsTheProgram) {
    Load();
    try {
        form->Command1_Click();
        FAIL() << "End returned";
    } catch (const fake::ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, 0);
    }
    EXPECT_EQ(windows().runtime.doEvents, 1);
}

struct Move {
    int32_t minimum, maximum, value;
    int16_t total;
    int32_t expected;  // INT32_MIN: overflow
};

TEST_F(FormTest, ProgressStepsByTenWrapsAndFills) {
    const Move moves[] = {
        {0, 100, 0, 0, 10},
        {0, 100, 80, 0, 90},
        {0, 100, 89, 0, 99},
        {0, 100, 90, 0, 10},  // 90 is not below 100 - 10
        {0, 15, 0, 0, 10},
        {0, 15, 10, 0, 10},
        {5, 100, 95, 0, 15},
        {0, 100, 30, -1, 100},
        {0, 100, 100, 7, 100},
        {0, 100, 0, -32768, 100},
        {INT32_MIN, INT32_MIN + 5, 0, 0, INT32_MIN},          // maximum - 10
        {INT32_MAX - 3, INT32_MAX, INT32_MAX, 0, INT32_MIN},  // minimum + 10
        {INT32_MAX - 20, INT32_MAX, INT32_MAX - 20, 0, INT32_MAX - 10},
    };
    Load();
    auto& view = windows().view;
    for (const auto& m : moves) {
        SCOPED_TRACE(std::to_string(m.minimum) + ".." + std::to_string(m.maximum) + " at " +
                     std::to_string(m.value) + " total " + std::to_string(m.total));
        view.minimum = m.minimum;
        view.maximum = m.maximum;
        view.value = m.value;
        if (m.expected == INT32_MIN) {
            try {
                form->Progress_Move(m.total);
                ADD_FAILURE() << "no overflow";
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.Number(), 6);
            }
            EXPECT_EQ(view.value, m.value);
        } else {
            form->Progress_Move(m.total);
            EXPECT_EQ(view.value, m.expected);
        }
    }
}

TEST_F(FormTest, TenFilesWalkTheIndicatorRoundToItsStart) {
    Load();
    std::vector<int32_t> seen;
    for (int file = 0; file < 10; ++file) {
        form->Progress_Move(0);
        seen.push_back(windows().view.value);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 10}));
}

}  // namespace
}  // namespace kiv::testing
