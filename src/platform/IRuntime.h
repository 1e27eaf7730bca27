#pragma once

#include <cstdint>
#include <string>

namespace kiv {

namespace mb {
constexpr uint32_t Ok = 0x00;
constexpr uint32_t Critical = 0x10;
}  // namespace mb

namespace pointer {
constexpr int Default = 0;
constexpr int Hourglass = 11;
}  // namespace pointer

namespace show {
constexpr int MinimizedFocus = 2;  // SW_SHOWMINIMIZED
}

// What the program takes from its language runtime and the shell around it.
struct IRuntime {
    virtual ~IRuntime() = default;
    // The command line after the program's name and the blanks that follow it.
    virtual std::string ArgumentText() = 0;
    // True when another copy of this program is already running.
    virtual bool AnotherInstanceRunning() = 0;
    virtual void Beep() = 0;
    // A modal box with an OK button; waits for the user.
    virtual void MessageBox(const std::string& text, const std::string& title, uint32_t style) = 0;
    // The application title, which boxes without a title of their own carry.
    virtual std::string AppTitle() = 0;
    virtual void SetMousePointer(int pointer) = 0;
    virtual int MousePointer() = 0;
    // Lets pending window messages be processed once.
    virtual void DoEvents() = 0;
    // Starts a program without waiting for it; raises 53 when it cannot be found.
    virtual void Start(const std::string& commandLine, int showState) = 0;
    // Starts a program without waiting for it, as the user at the desktop: with that user's
    // account, rights and environment. False, having started nothing, where it cannot.
    virtual bool StartAsDesktopUser(const std::string& commandLine, int showState) = 0;
    // Ends the process at once, every window closed without further events.
    [[noreturn]] virtual void End(int exitCode) = 0;
};

}  // namespace kiv
