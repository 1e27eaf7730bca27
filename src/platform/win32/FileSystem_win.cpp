#include "platform/win32/FileSystem_win.h"

#include "platform/win32/Windows_win.h"

#include <type_traits>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/MessagePump_win.h"
#include "platform/win32/ReplaceFile_win.h"
#include "platform/win32/ScopedWin_win.h"
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
// checked first: the runtime refuses to overwrite a read-only file, and a plain copy
// would be refused onto a hidden or system one.
void RequireWritable(DWORD attributes) {
    constexpr DWORD kRefused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kRefused) != 0) {
        throw RuntimeError(err::PermissionDenied, ERROR_ACCESS_DENIED);
    }
}

struct CopyJob {
    std::wstring source;
    std::wstring destination;
    DWORD error = ERROR_SUCCESS;
};

DWORD WINAPI RunCopy(void* parameter) {
    auto& job = *static_cast<CopyJob*>(parameter);
    job.error = ReplaceWithCopy(job.source, job.destination);
    return 0;
}
static_assert(std::is_same_v<decltype(&RunCopy), LPTHREAD_START_ROUTINE>);

// A copy of a large file, or from a slow disk or share, takes seconds: the window's thread
// waits for it as for a registration, answering what other programs send it, so Windows
// never takes the window for hung.
DWORD CopyBesideTheWindow(const std::wstring& source, const std::wstring& destination) {
    CopyJob job{source, destination};
    const ScopedKernelHandle worker(CreateThread(nullptr, 0, RunCopy, &job, 0, nullptr));
    if (!worker) {
        return ReplaceWithCopy(source, destination);
    }
    const auto handle = reinterpret_cast<std::uintptr_t>(worker.Get());
    if (WaitOnHandle(handle, INFINITE) != WaitResult::Ended) {
        WaitForSingleObject(worker.Get(), INFINITE);  // the job lives on this stack
    }
    return job.error;
}

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

    if (const DWORD error = CopyBesideTheWindow(from, to)) {
        throw ErrorFromWin32(error);
    }
}

}  // namespace kiv
