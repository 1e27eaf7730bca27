#include "Fixture.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "Driver.h"

namespace kiv::e2e {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::wstring& path) {
    throw std::runtime_error(what + " " + Utf8(path) + " (error " + std::to_string(GetLastError()) +
                             ")");
}

ULONGLONG Ticks(const FILETIME& time) {
    return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

void MakeFolder(const std::wstring& folder) {
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        Fail("cannot create the folder", folder);
    }
}

// The Linux path of a file, as wine maps it; empty outside wine.
std::wstring UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (unix == nullptr) {
        return {};
    }
    const std::wstring result = Wide(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Whether the file can be opened for writing right now.
bool Writable(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

constexpr wchar_t kChattr[] = L"Z:\\usr\\bin\\chattr";

// Runs chattr on the file and waits until its effect shows: wine starts a Linux program
// without giving back a handle to wait on.
bool SetImmutable(const std::wstring& path, bool on) {
    const std::wstring unix = UnixPath(path);
    if (unix.empty() || !Exists(kChattr)) {
        return false;
    }
    std::wstring line = std::wstring(kChattr) + (on ? L" +i \"" : L" -i \"") + unix + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return Within(5000, [&] { return Writable(path) != on; });
}

}  // namespace

void WriteNewFile(const std::wstring& path, const std::string& bytes, FILETIME time) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail("cannot create", path);
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    if (!ok) {
        Fail("cannot write", path);
    }
}

FILETIME UtcTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME system = {year, month, 0, day, hour, minute, second, 0};
    FILETIME time = {};
    SystemTimeToFileTime(&system, &time);
    return time;
}

FILETIME Shifted(FILETIME time, LONGLONG seconds) {
    const ULONGLONG ticks = Ticks(time) + static_cast<ULONGLONG>(seconds * 10000000LL);
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return Ticks(a) == Ticks(b);
}

std::string Text(const FILETIME& time) {
    SYSTEMTIME system = {};
    FileTimeToSystemTime(&time, &system);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%07u UTC", system.wYear,
                  system.wMonth, system.wDay, system.wHour, system.wMinute, system.wSecond,
                  static_cast<unsigned>(Ticks(time) % 10000000));
    return text;
}

std::string Pattern(const std::string& tag, size_t size) {
    std::string bytes;
    while (bytes.size() < size) {
        bytes += tag + ":" + std::to_string(bytes.size()) + ";";
    }
    bytes.resize(size);
    return bytes;
}

std::string BuiltBytes(const std::wstring& fileName) {
    const std::wstring path = OwnFolder() + L"\\" + fileName;
    const auto bytes = ReadBytes(path);
    if (!bytes) {
        Fail("cannot read", path);
    }
    return *bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

std::optional<FILETIME> ModifiedTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return data.ftLastWriteTime;
}

std::vector<std::vector<std::string>> Records(const std::wstring& path,
                                              const std::string& separators) {
    std::vector<std::vector<std::string>> records;
    const std::string record = ReadBytes(path).value_or("");
    size_t begin = 0;
    for (size_t end; (end = record.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string line = record.substr(begin, end - begin);
        std::vector<std::string> fields;
        size_t from = 0;
        for (char separator : separators) {
            const size_t to = line.find(separator, from);
            if (to == std::string::npos) {
                throw std::runtime_error("unreadable line in " + Utf8(path) + ": " + line);
            }
            fields.push_back(line.substr(from, to - from));
            from = to + 1;
        }
        fields.push_back(line.substr(from));
        records.push_back(fields);
    }
    return records;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            const std::wstring path = folder + L"\\" + name;
            if (name == L"." || name == L"..") {
                continue;
            }
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring NewTemporaryFolder() {
    std::wstring temp(MAX_PATH, L'\0');
    temp.resize(GetTempPathW(MAX_PATH, temp.data()));
    static int counter = 0;
    std::wstring folder;
    do {
        folder = temp + L"Kiv Aldervik " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
    } while (Exists(folder));
    return folder;
}

std::vector<std::string> EntryNames(const std::wstring& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(Utf8(name));
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

SystemFolders CurrentSystemFolders() {
    SystemFolders folders;
    folders.system.resize(MAX_PATH);
    folders.system.resize(GetSystemDirectoryW(folders.system.data(), MAX_PATH));
    const size_t at = Lower(folders.system).find(L"system32");
    if (at != std::wstring::npos) {
        folders.wow64Path = folders.system.substr(0, at) + L"SysWOW64";
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW((folders.wow64Path + L"\\*.*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            constexpr DWORD kNotOrdinary =
                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            do {
                if (!(entry.dwFileAttributes & kNotOrdinary)) {
                    folders.wow64 = folders.wow64Path;
                }
            } while (folders.wow64.empty() && FindNextFileW(find, &entry));
            FindClose(find);
        }
    }
    BOOL redirected = FALSE;
    IsWow64Process(GetCurrentProcess(), &redirected);
    folders.separate = !redirected;
    return folders;
}

Installation::Installation() : Installation(NewTemporaryFolder()) {}

Installation::Installation(std::wstring folder) : folder_(std::move(folder)) {
    if (Exists(folder_)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        Fail("refusing to use a folder that exists already:", folder_);
    }
    MakeFolder(folder_);
    MakeFolder(Support());
}

Installation::~Installation() {
    RemoveTree(folder_);
}

std::wstring Installation::Support(const std::wstring& name) const {
    return folder_ + L"\\support" + (name.empty() ? L"" : L"\\" + name);
}

std::wstring Installation::Library(const std::wstring& name) const {
    return folder_ + L"\\Library" + (name.empty() ? L"" : L"\\" + name);
}

void Installation::MakeLibrary() const {
    MakeFolder(Library());
}

void Installation::RemoveSupport() const {
    RemoveTree(Support());
}

void Installation::Stage(const std::wstring& name, const std::string& bytes, FILETIME time) const {
    WriteNewFile(Support(name), bytes, time);
}

void Installation::PlaceStub() const {
    const std::wstring stub = OwnFolder() + L"\\kivapp1.exe";
    if (!CopyFileW(stub.c_str(), (folder_ + L"\\kivapp1.exe").c_str(), TRUE)) {
        Fail("cannot copy the stub", stub);
    }
}

std::vector<Start> Installation::Starts() const {
    std::vector<Start> starts;
    for (const auto& f : Records(folder_ + L"\\kivapp1.record", "\t\t\t")) {
        starts.push_back(
            Start{static_cast<DWORD>(std::stoul(f[0])), f[1] == "1", std::stoi(f[2]), f[3]});
    }
    return starts;
}

SystemFiles::~SystemFiles() {
    for (const auto& path : paths_) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

void SystemFiles::Place(const std::wstring& path, const std::string& bytes, FILETIME time) {
    Expect(path);
    WriteNewFile(path, bytes, time);
}

void SystemFiles::Expect(const std::wstring& path) {
    if (Exists(path)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        Fail("refusing to touch a file that exists already (left from an earlier run?):", path);
    }
    paths_.push_back(path);
}

void SeedWow64(SystemFiles& files) {
    const std::wstring wow64 = CurrentSystemFolders().wow64Path;
    files.Expect(wow64 + L"\\regsvr32.record");
    files.Place(wow64 + L"\\regsvr32.exe", BuiltBytes(L"kivapp1.exe"),
                UtcTime(2020, 1, 1, 0, 0, 0));
}

std::shared_ptr<void> HoldOpen(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail("cannot hold open", path);
    }
    return std::shared_ptr<void>(file, CloseHandle);
}

std::shared_ptr<void> MarkReadOnly(const std::wstring& path, std::string& unavailable) {
    if (!SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY)) {
        Fail("cannot mark read-only", path);
    }
    const bool wine = !UnixPath(path).empty();
    const bool immutable = wine && SetImmutable(path, true);
    if (wine && !immutable) {
        unavailable = "the Linux immutable flag cannot be set on " + Utf8(path) +
                      " (needs Z:\\usr\\bin\\chattr, root and a file system that has the flag);"
                      " run as root, wine would write the read-only file anyway";
    }
    return std::shared_ptr<void>(nullptr, [path, immutable](void*) {
        if (immutable) {
            SetImmutable(path, false);
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
}

}  // namespace kiv::e2e
