#include "platform/win32/FileSystem_win.h"

#include "platform/win32/Windows_win.h"

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/Strconv_win.h"

namespace kiv {

namespace {

constexpr wchar_t kTemporarySuffix[] = L".kivnew";

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

// The copy in progress: the destination's name with a fixed suffix, in its folder, so
// that a pass cut short leaves a name the next pass writes over and then removes.
// Built rather than asked of GetTempFileNameW, which probes for a free name on every
// call (each a scan of a large system folder under wine) and is held to short folders.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& destination)
        : path_(destination + kTemporarySuffix) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            // The copy takes the source's attributes; a read-only one cannot be deleted.
            SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Copies the source to the temporary name, over a leftover of an earlier pass.
    void CopyFrom(const std::wstring& source) {
        if (::CopyFileW(source.c_str(), path_.c_str(), FALSE)) {
            return;
        }
        const DWORD error = GetLastError();
        // A read-only leftover refuses to be overwritten; it is ours to clear.
        if (error != ERROR_ACCESS_DENIED ||
            !SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL) ||
            !::CopyFileW(source.c_str(), path_.c_str(), FALSE)) {
            throw ErrorFromWin32(error);
        }
    }
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
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    DestinationLook& look = *look_;
    look.path = path;
    look.attributes = GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)
                          ? data.dwFileAttributes
                          : INVALID_FILE_ATTRIBUTES;
    look.lastWrite = data.ftLastWriteTime;
    look.timeTaken = look.attributes == INVALID_FILE_ATTRIBUTES;
    look.attributesTaken = false;
    return look.attributes != INVALID_FILE_ATTRIBUTES &&
           (look.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    // The pass asked about this destination just before; that answer stands.
    DestinationLook& look = *look_;
    const bool looked = !look.attributesTaken && look.path == destination;
    look.attributesTaken = look.timeTaken = true;
    const DWORD attributes = looked ? look.attributes : GetFileAttributesW(to.c_str());
    RequireSourceFile(from);
    RequireFolder(FolderOf(to));
    RequireWritable(attributes);

    TemporaryFile temporary(to);
    // CopyFileW keeps the source's last-modified time and attributes.
    temporary.CopyFrom(from);
    // A destination in use (open without delete sharing, or a loaded module) makes the
    // replacement fail with a sharing violation or access denied, both 70.
    if (!MoveFileExW(temporary.Path().c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw LastError();
    }
    temporary.Keep();
}

}  // namespace kiv
