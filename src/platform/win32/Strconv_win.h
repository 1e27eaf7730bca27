#pragma once

#include <string>

namespace kiv {

// UTF-8 inside the program, UTF-16 at every call into Windows.
std::wstring ToWide(const std::string& utf8);
std::string ToUtf8(const std::wstring& wide);
std::string ToUtf8(const wchar_t* wide, size_t length);

}  // namespace kiv
