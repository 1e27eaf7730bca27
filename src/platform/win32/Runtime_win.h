#pragma once

#include <optional>

#include "platform/IRuntime.h"
#include "platform/win32/Guard_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// The language runtime's services on Windows. One object lives for the whole process:
// it holds the single-instance guard and the application's mouse pointer.
class Win32Runtime final : public IRuntime {
public:
    std::string ArgumentText() override;
    bool AnotherInstanceRunning() override;
    void Beep() override;
    void MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::string AppTitle() override;
    void SetMousePointer(int pointer) override;
    int MousePointer() override { return pointer_; }
    void DoEvents() override;
    void Start(const std::string& commandLine, int showState) override;
    bool StartAsDesktopUser(const std::string& commandLine, int showState) override;
    [[noreturn]] void End(int exitCode) override;

private:
    Win32GuardNames guard_;
    std::optional<bool> anotherInstance_;
    int pointer_ = 0;
};

// The cursor that shows an application mouse pointer, or nullptr for the default one,
// which leaves every window its own class cursor.
HCURSOR CursorOfPointer(int pointer);

}  // namespace kiv
