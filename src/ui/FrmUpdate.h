#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/IPassDisplay.h"
#include "ui/Controls.h"
#include "ui/FrmFiles.h"

namespace kiv {

struct IUpdateView;
struct PassState;
struct IViewFactory;

// The update window's logic: its events, the update pass and the progress indicator.
// It runs unchanged against the Win32 view and against the test fake.
class FrmUpdate final : public IPassDisplay {
public:
    explicit FrmUpdate(PassState& state);
    ~FrmUpdate() override;

    // Creates the view through the factory and shows the window modally.
    void Show(IViewFactory& factory);
    void AttachView(IUpdateView& view) { view_ = &view; }

    // Events, called by the view.
    void Form_Load();
    void Form_Activate();
    void Command1_Click();
    void Label_Change(int index);

    // Public methods.
    void Update_Reg();
    void Progress_Move(ProgressMove move) override;

    // Label(i).Caption as other parts of the program use it.
    const std::string& Caption(int index) const;
    void SetCaption(int index, const std::string& caption);

    // What the pass shows.
    void ShowBitness() override;
    void ShowFile(const std::string& caption) override;
    void ShowStep(int32_t message) override;
    void ClearFileAndStep() override;
    void AddItem(const std::string& line) override;
    const std::string& FileShown() const override { return Caption(label::File); }
    const std::string& StepShown() const override { return Caption(label::Step); }
    const std::string& Heading() const override { return Caption(label::Heading); }

    // Design captions, as the window is drawn before Form_Load runs.
    static const std::map<int, std::string>& DesignCaptions();

private:
    FrmFiles& Files();

    PassState& state_;
    IUpdateView* view_ = nullptr;
    std::map<int, std::string> captions_;
    std::unique_ptr<FrmFiles> frmFiles_;
    bool activated_ = false;
};

}  // namespace kiv
