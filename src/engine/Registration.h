#pragma once

#include <string>

namespace kiv {

struct IPassDisplay;

enum class CopyKind { NotCopied, NewCopy, Replacement };

// Whether a component the pass has just handled is registered again: every new copy,
// and a replacement outside the product's Library folder.
bool ShouldRegister(CopyKind copy, const std::string& target);

// Unregisters, then registers again, the component at target, showing each step.
void RegisterCopiedComponent(IPassDisplay& display, const std::string& target);

}  // namespace kiv
