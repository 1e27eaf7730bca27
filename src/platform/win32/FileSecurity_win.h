#pragma once

#include <string>

namespace kiv {

// Gives `copy` the owner and access list of `installed`, the file it is about to replace:
// a copy made in place would keep them, while a file moved over it brings the folder's.
// Where they cannot be read or set, `copy` keeps the folder's, and nothing is said: the
// file's content is what the update is for.
void KeepSecurityOf(const std::wstring& installed, const std::wstring& copy);

}  // namespace kiv
