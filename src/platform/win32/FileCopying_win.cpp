#include "platform/win32/FileCopying_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/FileTime_win.h"
#include "platform/win32/ReplaceFile_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "platform/win32/Strconv_win.h"
#include "trust/Publisher.h"

namespace kiv {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    // "C:\name" lives in "C:\", not in "C:" (the drive's current folder).
    if (slash == 0 || (slash == 2 && path[1] == L':')) {
        return path.substr(0, slash + 1);
    }
    return path.substr(0, slash);
}

void RequireSourceFile(const std::wstring& source) {
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw LastError();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw RuntimeError(err::FileNotFound, ERROR_FILE_NOT_FOUND);
    }
}

void RequireFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw RuntimeError(err::PathNotFound, ERROR_PATH_NOT_FOUND);
    }
}

// Renaming over a file replaces a read-only one too, so an existing destination is
// checked first: the runtime refuses to overwrite a read-only file, and a plain copy
// would be refused onto a hidden or system one.
void RequireWritable(DWORD attributes) {
    constexpr DWORD kRefused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kRefused) != 0) {
        throw RuntimeError(err::PermissionDenied, ERROR_ACCESS_DENIED);
    }
}

static_assert(attr::Invalid == INVALID_FILE_ATTRIBUTES);

// The source is opened once and copied from that handle, so what is copied is what was
// opened, and what was checked against its signed entry: no other program can write to it
// meanwhile.
DWORD OpenAndCopy(const std::wstring& source, const std::wstring& destination, bool replacing,
                  const ListedFile* listed) {
    DWORD error = ERROR_SUCCESS;
    const ScopedKernelHandle from = OpenToCopy(source, error);
    return from ? ReplaceWithCopy(from.Get(), destination, replacing, listed) : error;
}

RuntimeError CopyError(DWORD error) {
    return error == kNotAsListed ? NotFromPublisher(
                                       "this file is not as their signed list gives it (size, time "
                                       "or content).")
                                 : ErrorFromWin32(error);
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path, FileLook& found) {
    found = FileLook();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path.empty() || !GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    found.attributes = data.dwFileAttributes;
    found.lastModified = ToUnixSeconds(data.ftLastWriteTime);
    return (found.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32FileSystem::CopyFile(const std::string& source, const std::string& destination,
                               const FileLook& destinationLook, const ListedFile* listed) {
    const std::wstring from = ToWide(source);
    const std::wstring to = ToWide(destination);
    if (from.empty()) {
        throw RuntimeError(err::FileNotFound, ERROR_FILE_NOT_FOUND);
    }
    if (to.empty()) {
        throw RuntimeError(err::PathNotFound, ERROR_PATH_NOT_FOUND);
    }
    RequireSourceFile(from);
    // Something found at the destination has its folder: only a new copy asks for it.
    if (destinationLook.attributes == INVALID_FILE_ATTRIBUTES) {
        RequireFolder(FolderOf(to));
    }
    RequireWritable(destinationLook.attributes);

    const bool replacing = destinationLook.attributes != INVALID_FILE_ATTRIBUTES;
    if (const DWORD error = OpenAndCopy(from, to, replacing, listed)) {
        throw CopyError(error);
    }
}

std::shared_ptr<void> Win32FileSystem::HoldAsListed(const std::string& path,
                                                    const ListedFile& listed) {
    DWORD error = ERROR_SUCCESS;
    auto held = std::make_shared<ScopedKernelHandle>(OpenToCopy(ToWide(path), error));
    if (*held) {
        error = CheckAgainstListed(held->Get(), listed);
    }
    if (error == kNotAsListed) {
        throw NotFromPublisher("its installed copy changed before it was registered.");
    }
    if (error != ERROR_SUCCESS) {
        throw ErrorFromWin32(error);
    }
    return held;
}

}  // namespace kiv
