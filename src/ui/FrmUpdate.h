#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/FrmFiles.h"

namespace kiv {

struct IUpdateView;
struct IViewFactory;
class RuntimeError;

// The update window's logic: its events, the update pass and the progress indicator.
// It runs unchanged against the Win32 view and against the test fake.
class FrmUpdate {
public:
    FrmUpdate();
    ~FrmUpdate();

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
    void Progress_Move(const int16_t& Total);

    // Label(i).Caption, .Visible and .Refresh as other parts of the program use them.
    const std::string& Caption(int index) const;
    void SetCaption(int index, const std::string& caption);
    void SetVisible(int index, bool visible);
    void RefreshLabel(int index);
    // Shows a catalogue text as the step at hand and repaints it at once.
    void ShowStep(int32_t message);
    void AddItem(const std::string& line);

    // Design captions, as the window is drawn before Form_Load runs.
    static const std::map<int, std::string>& DesignCaptions();

private:
    FrmFiles& Files();
    void ReportInstallationError(const RuntimeError& error);

    IUpdateView* view_ = nullptr;
    std::map<int, std::string> captions_;
    std::unique_ptr<FrmFiles> frmFiles_;
    bool activated_ = false;
};

}  // namespace kiv
