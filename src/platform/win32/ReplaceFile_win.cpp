#include "platform/win32/ReplaceFile_win.h"

#include <cwchar>

#include "platform/win32/FileSecurity_win.h"
#include "platform/win32/FileTime_win.h"
#include "platform/win32/ScopedWin_win.h"
#include "trust/StagingList.h"

namespace kiv {

namespace {

// The first name and two more, for when a name is held by something that cannot be
// removed (a folder with files in it, say).
constexpr int kTemporaryNameCount = 3;
constexpr DWORD kChunk = 1 << 20;
// Antivirus, indexing and backup services open a file for a moment, just after it was
// written or before it is replaced. A step such an open makes fail is tried again in short
// steps for this long; a file held longer is reported as held.
constexpr DWORD kMomentMs = 2000, kRetryStepMs = 50;

template <typename Step>
DWORD OutwaitingAMomentsHold(Step step) {
    DWORD error = step();
    for (DWORD waited = 0;
         (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) && waited < kMomentMs;
         waited += kRetryStepMs) {
        Sleep(kRetryStepMs);
        error = step();
    }
    return error;
}

size_t NameStart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

// FNV-1a over the name's UTF-16 units, upper-cased: Windows names ignore case.
uint32_t NameHash(std::wstring name) {
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    uint32_t hash = 2166136261u;
    for (const wchar_t unit : name) {
        hash = (hash ^ static_cast<uint16_t>(unit)) * 16777619u;
    }
    return hash;
}

// Removes whatever holds a name: a file, an empty folder, or a link of either kind, which
// is removed as a link and never followed. False when something is still there.
bool Clear(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return RemoveDirectoryW(path.c_str()) != FALSE;
    }
    // A read-only leftover is ours to clear; the attributes of a link would be its target's.
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
               FILE_ATTRIBUTE_READONLY &&
           SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(path.c_str());
}

// Something is at the name: a file, a folder, or a link.
bool IsHeld(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           error == ERROR_ACCESS_DENIED;
}

// A new file, created only where nothing is: a link at the name makes it fail rather than
// be followed.
HANDLE CreateNew(const std::wstring& path) {
    return CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// What was read of a file, for its signed entry.
struct Read {
    Sha256 hasher;
    uint64_t size = 0;
};

// Copies `from` to its end into `to`, or only reads it when `to` is null; hashes what it reads
// when given where to.
DWORD CopyData(HANDLE from, HANDLE to, Read* read) {
    // Kept from copy to copy: a fresh megabyte would cost each small copy more than its data.
    static thread_local std::vector<char> buffer(kChunk);
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(from, buffer.data(), kChunk, &got, nullptr)) {
            return GetLastError();
        }
        if (got == 0) {
            return ERROR_SUCCESS;
        }
        if (read) {
            read->hasher.Add(buffer.data(), got);
            read->size += got;
        }
        if (to && !WriteFile(to, buffer.data(), got, &written, nullptr)) {
            return GetLastError();
        }
        if (to && written != got) {
            return ERROR_DISK_FULL;
        }
    }
}

DWORD BasicInfo(HANDLE file, FILE_BASIC_INFO& basic) {
    return GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ? ERROR_SUCCESS
                                                                                   : GetLastError();
}

DWORD Compare(Read& read, const FILE_BASIC_INFO& basic, const ListedFile& listed) {
    const FILETIME written = {basic.LastWriteTime.LowPart,
                              static_cast<DWORD>(basic.LastWriteTime.HighPart)};
    return listed.Matches(read.size, ToUnixSeconds(written), read.hasher.Finish()) ? ERROR_SUCCESS
                                                                                   : kNotAsListed;
}

// The source's last-modified time and attributes, without read-only: an installed copy
// that is read-only would refuse every later update.
DWORD CopyMetadata(FILE_BASIC_INFO basic, HANDLE to) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    basic.FileAttributes =
        (basic.FileAttributes & kKept) ? basic.FileAttributes & kKept : FILE_ATTRIBUTE_NORMAL;
    // Times of zero are left as they are: the copy keeps its own creation time.
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    return SetFileInformationByHandle(to, FileBasicInfo, &basic, sizeof basic) ? ERROR_SUCCESS
                                                                               : GetLastError();
}

}  // namespace

std::vector<std::wstring> TemporaryNames(const std::wstring& destination) {
    const size_t start = NameStart(destination);
    const uint32_t hash = NameHash(destination.substr(start));
    std::vector<std::wstring> names;
    for (int attempt = 0; attempt < kTemporaryNameCount; ++attempt) {
        wchar_t name[32];
        std::swprintf(name, 32, attempt == 0 ? L"~kiv%08X.kivnew" : L"~kiv%08X-%d.kivnew",
                      static_cast<unsigned>(hash), attempt);
        names.push_back(destination.substr(0, start) + name);
    }
    return names;
}

ScopedKernelHandle OpenToCopy(const std::wstring& source, DWORD& error) {
    ScopedKernelHandle file;
    error = OutwaitingAMomentsHold([&] {
        file.Reset(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return file ? ERROR_SUCCESS : GetLastError();
    });
    return file;
}

DWORD CheckAgainstListed(HANDLE file, const ListedFile& listed) {
    Read read;
    FILE_BASIC_INFO basic = {};
    DWORD error = BasicInfo(file, basic);
    if (error == ERROR_SUCCESS) {
        error = CopyData(file, nullptr, &read);
    }
    return error == ERROR_SUCCESS ? Compare(read, basic, listed) : error;
}

DWORD ReplaceWithCopy(HANDLE from, const std::wstring& destination, bool replacing,
                      const ListedFile* listed) {
    DWORD error = ERROR_ACCESS_DENIED;  // when every name is held
    for (const std::wstring& name : TemporaryNames(destination)) {
        ScopedKernelHandle to(CreateNew(name));
        error = to ? ERROR_SUCCESS : GetLastError();
        // Most copies find the first name free; only a name found held is cleared and
        // tried again, so that a copy costs no more look-ups than a plain one.
        if (IsHeld(error) && Clear(name)) {
            to.Reset(CreateNew(name));
            error = to ? ERROR_SUCCESS : GetLastError();
        }
        if (IsHeld(error)) {
            continue;  // by what could not be removed
        }
        if (!to) {
            return error;
        }
        // The time is read once: the copy takes the time it was checked with.
        Read read;
        FILE_BASIC_INFO basic = {};
        error = CopyData(from, to.Get(), listed ? &read : nullptr);
        if (error == ERROR_SUCCESS) {
            error = BasicInfo(from, basic);
        }
        if (error == ERROR_SUCCESS && listed) {
            error = Compare(read, basic, *listed);
        }
        if (error == ERROR_SUCCESS) {
            error = CopyMetadata(basic, to.Get());
        }
        // A rename does not carry the data to the disk: after a power cut the file system
        // may keep the new name with nothing behind it. Flushed first, the destination holds
        // the old file or the new one. A device that cannot flush has nothing to wait for.
        if (error == ERROR_SUCCESS && !FlushFileBuffers(to.Get()) &&
            GetLastError() != ERROR_INVALID_FUNCTION) {
            error = GetLastError();
        }
        to.Reset();
        if (error == ERROR_SUCCESS && replacing) {
            KeepSecurityOf(destination, name);
        }
        // A destination in use (open without delete sharing, or a loaded module) makes the
        // replacement fail with a sharing violation or access denied.
        if (error == ERROR_SUCCESS) {
            error = OutwaitingAMomentsHold([&] {
                return MoveFileExW(name.c_str(), destination.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                           ? ERROR_SUCCESS
                           : GetLastError();
            });
        }
        if (error != ERROR_SUCCESS) {
            DeleteFileW(name.c_str());
        }
        return error;
    }
    return error;
}

}  // namespace kiv
