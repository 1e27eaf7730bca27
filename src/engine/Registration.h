#pragma once

#include <string>

namespace kiv {

struct IPassDisplay;
struct PassState;

enum class CopyKind { NotCopied, NewCopy, Replacement };

// Whether a component the pass has just handled is registered again: every new copy,
// and a replacement outside the product's Library folder.
bool ShouldRegister(CopyKind copy, const std::string& target);

// Unregisters, then registers again, the component at target, showing each step.
void RegisterCopiedComponent(const PassState& state, IPassDisplay& display,
                             const std::string& target);

}  // namespace kiv
