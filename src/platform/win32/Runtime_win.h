#pragma once

#include "platform/IRuntime.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// The language runtime's services on Windows. One object lives for the whole process:
// it holds the single-instance mutex and the application's mouse pointer.
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
    [[noreturn]] void End(int exitCode) override;

private:
    ScopedKernelHandle instanceMutex_;
    bool anotherInstance_ = false;
    int pointer_ = 0;
};

// The cursor that shows an application mouse pointer, or nullptr for the default one,
// which leaves every window its own class cursor.
HCURSOR CursorOfPointer(int pointer);

}  // namespace kiv
