#pragma once

#include <string>

namespace kiv {

// The Windows system directory, read with a 255-character buffer; empty when it cannot
// be read or does not fit.
std::string GetSystemFolder();

}  // namespace kiv
