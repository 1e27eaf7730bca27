#pragma once

#include <cstdint>
#include <string>

namespace kiv {

enum class ProgressMove { Step, Fill };

// The update window as the pass and its error report see it: what they show and what they
// read back. The window's logic implements it, so the pass never depends on the window.
struct IPassDisplay {
    virtual ~IPassDisplay() = default;

    // Shows the "64-bit" label.
    virtual void ShowBitness() = 0;
    // Shows a caption as the file at hand, with the window's next frame.
    virtual void ShowFile(const std::string& caption) = 0;
    // Shows a catalogue text as the step at hand, with the window's next frame.
    virtual void ShowStep(int32_t message) = 0;
    // Shows " ..." as both the file and the step.
    virtual void ClearFileAndStep() = 0;
    virtual void AddItem(const std::string& line) = 0;
    // Moves the progress indicator on by one step, or fills it.
    virtual void Progress_Move(ProgressMove move) = 0;

    // The captions shown as the file and the step at hand, and the window's heading.
    virtual const std::string& FileShown() const = 0;
    virtual const std::string& StepShown() const = 0;
    virtual const std::string& Heading() const = 0;
};

}  // namespace kiv
