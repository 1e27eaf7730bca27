#include "platform/win32/FileSystem_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Strconv_win.h"

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
// checked first: the runtime refuses to overwrite a read-only file.
void RequireWritable(const std::wstring& destination) {
    const DWORD attributes = GetFileAttributesW(destination.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        throw RuntimeError(err::PermissionDenied, ERROR_ACCESS_DENIED);
    }
}

// A file in the destination's folder that is deleted unless it is kept.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& folder) {
        wchar_t name[MAX_PATH] = {};
        if (GetTempFileNameW(folder.c_str(), L"~kv", 0, name) == 0) {
            throw LastError();
        }
        path_ = name;
    }
    ~TemporaryFile() {
        if (!path_.empty()) {
            // The copy takes the source's attributes; a read-only one cannot be deleted.
            SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::wstring& Path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
};

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32FileSystem::CopyFile(const std::string& source, const std::string& destination) {
    const std::wstring from = ToWide(source);
    const std::wstring to = ToWide(destination);
    if (from.empty()) {
        throw RuntimeError(err::FileNotFound, ERROR_FILE_NOT_FOUND);
    }
    if (to.empty()) {
        throw RuntimeError(err::PathNotFound, ERROR_PATH_NOT_FOUND);
    }
    RequireSourceFile(from);
    const std::wstring folder = FolderOf(to);
    RequireFolder(folder);
    RequireWritable(to);

    TemporaryFile temporary(folder);
    // CopyFileW keeps the source's last-modified time and attributes.
    if (!::CopyFileW(from.c_str(), temporary.Path().c_str(), FALSE)) {
        throw LastError();
    }
    // A destination in use (open without delete sharing, or a loaded module) makes the
    // replacement fail with a sharing violation or access denied, both 70.
    if (!MoveFileExW(temporary.Path().c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw LastError();
    }
    temporary.Keep();
}

}  // namespace kiv
