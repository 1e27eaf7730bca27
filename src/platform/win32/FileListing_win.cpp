#include "platform/win32/FileListing_win.h"

#include "platform/win32/Windows_win.h"

#include <algorithm>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/FileCopying_win.h"
#include "platform/win32/FileTime_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

// What the runtime's file list and directory query call a normal file: read-only and
// archive files count, hidden and system files and folders do not.
bool IsNormalFile(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes &
            (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

bool NothingFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_NO_MORE_FILES;
}

// Calls `visit` with every entry matching a wildcard path until it returns false.
// Returns the error that ended the search: ERROR_NO_MORE_FILES when every entry was seen.
template <typename Visit>
DWORD ForEachEntry(const std::wstring& pattern, Visit visit) {
    WIN32_FIND_DATAW entry = {};
    ScopedFindHandle find(FindFirstFileW(pattern.c_str(), &entry));
    if (!find) {
        return GetLastError();
    }
    do {
        if (!visit(entry)) {
            return ERROR_SUCCESS;
        }
    } while (FindNextFileW(find.Get(), &entry));
    return GetLastError();
}

}  // namespace

uint32_t Win32Files::GetAttributes(const std::string& path) {
    if (path.empty()) {
        throw RuntimeError(err::FileNotFound);
    }
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw LastError();
    }
    return attributes;
}

FileTime Win32Files::LastModified(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path.empty()) {
        throw RuntimeError(err::FileNotFound);
    }
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) {
        throw LastError();
    }
    return ToUnixSeconds(data.ftLastWriteTime);
}

std::string Win32Files::FirstNormalFile(const std::string& pattern) {
    std::wstring found;
    const DWORD end = ForEachEntry(ToWide(pattern), [&](const WIN32_FIND_DATAW& entry) {
        if (!IsNormalFile(entry)) {
            return true;
        }
        found = entry.cFileName;
        return false;
    });
    // No match is an answer, not a failure: a missing folder matches nothing.
    if (end != ERROR_SUCCESS && !NothingFound(end)) {
        throw ErrorFromWin32(end);
    }
    return ToUtf8(found);
}

std::vector<std::string> Win32Files::ListFiles(const std::string& folder) {
    // An empty path is the current folder, as for the file list.
    std::wstring wide = folder.empty() ? std::wstring(L".") : ToWide(folder);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw RuntimeError(err::PathNotFound, GetLastError());
    }
    if (wide.back() != L'\\' && wide.back() != L'/') {
        wide += L'\\';
    }
    std::vector<std::wstring> names;
    const DWORD end = ForEachEntry(wide + L"*", [&](const WIN32_FIND_DATAW& entry) {
        if (IsNormalFile(entry)) {
            names.emplace_back(entry.cFileName);
        }
        return true;
    });
    // A drive's root holds no "." entry, so an empty one reports "file not found".
    if (end != ERROR_NO_MORE_FILES && end != ERROR_FILE_NOT_FOUND) {
        throw ErrorFromWin32(end);
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    });
    std::vector<std::string> result;
    result.reserve(names.size());
    for (const auto& name : names) {
        result.push_back(ToUtf8(name));
    }
    return result;
}

std::string Win32Files::ReadAll(const std::string& path) {
    // Far more than a list of the largest release needs; a larger file is refused, not read.
    constexpr LONGLONG kLargest = 64 << 20;
    const ScopedKernelHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        throw LastError();
    }
    if (size.QuadPart > kLargest) {
        throw RuntimeError(err::OutOfMemory, ERROR_FILE_TOO_LARGE);
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr)) {
        throw LastError();
    }
    bytes.resize(read);
    return bytes;
}

std::shared_ptr<IFileSystem> Win32Files::CreateFileSystem() {
    return std::make_shared<Win32FileSystem>();
}

}  // namespace kiv
