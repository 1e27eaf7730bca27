#pragma once

#include <string>

namespace kiv {

// The system directory as Windows reports it, empty when it cannot be read.
std::wstring SystemDirectoryW();

}  // namespace kiv
