#include "platform/win32/FileSystem_win.h"

#include "platform/win32/Windows_win.h"

#include <type_traits>

#include "platform/win32/ErrorMap_win.h"
#include "platform/win32/FileTime_win.h"
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

static_assert(attr::Invalid == INVALID_FILE_ATTRIBUTES);

// The source is opened once and copied from that handle, so what is copied is what was
// opened: no other program can write to it meanwhile.
DWORD OpenAndCopy(const std::wstring& source, const std::wstring& destination, bool replacing) {
    DWORD error = ERROR_SUCCESS;
    const ScopedKernelHandle from = OpenToCopy(source, error);
    return from ? ReplaceWithCopy(from.Get(), destination, replacing) : error;
}

// A copy of a large file, or from a slow disk or share, takes seconds: the window's thread
// waits for it as for a registration, answering what other programs send it, so Windows
// never takes the window for hung. One worker serves every copy of the process, since a
// thread for each of 10,000 small copies would cost more than they do; it waits for work
// until the process ends.
class CopyWorker {
public:
    static CopyWorker& Instance() {
        static CopyWorker* worker = new CopyWorker;  // never ended: the process ends it
        return *worker;
    }

    DWORD Copy(const std::wstring& source, const std::wstring& destination, bool replacing) {
        if (!thread_) {
            return OpenAndCopy(source, destination, replacing);
        }
        source_ = source;
        destination_ = destination;
        replacing_ = replacing;
        SetEvent(start_.Get());
        const auto done = reinterpret_cast<std::uintptr_t>(done_.Get());
        if (WaitOnHandle(done, INFINITE) != WaitResult::Ended) {
            WaitForSingleObject(done_.Get(), INFINITE);  // the worker still reads our names
        }
        return error_;
    }

private:
    CopyWorker()
        : start_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        if (start_ && done_) {
            thread_.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        }
    }

    static DWORD WINAPI Run(void* parameter) {
        auto& self = *static_cast<CopyWorker*>(parameter);
        while (WaitForSingleObject(self.start_.Get(), INFINITE) == WAIT_OBJECT_0) {
            self.error_ = OpenAndCopy(self.source_, self.destination_, self.replacing_);
            SetEvent(self.done_.Get());
        }
        return 0;
    }

    ScopedKernelHandle start_;
    ScopedKernelHandle done_;
    ScopedKernelHandle thread_;
    std::wstring source_;
    std::wstring destination_;
    bool replacing_ = false;
    DWORD error_ = ERROR_SUCCESS;
    static_assert(std::is_same_v<decltype(&Run), LPTHREAD_START_ROUTINE>);
};

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
                               const FileLook& destinationLook) {
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
    if (const DWORD error = CopyWorker::Instance().Copy(from, to, replacing)) {
        throw ErrorFromWin32(error);
    }
}

}  // namespace kiv
