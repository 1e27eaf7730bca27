#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Builders of the disk state an end-to-end run starts from. They throw std::runtime_error
// when the state cannot be built, so that the test fails with the reason; their
// destructors undo everything they made.
namespace kiv::e2e {

FILETIME UtcTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);
FILETIME Shifted(FILETIME time, LONGLONG seconds);
bool SameTime(const FILETIME& a, const FILETIME& b);
std::string Text(const FILETIME& time);

// Bytes of the given size that differ with the tag, so that copies can be told apart.
std::string Pattern(const std::string& tag, size_t size);
// The bytes of a file built beside the test: by default the test component with both
// registration entry points.
std::string BuiltBytes(const std::wstring& fileName = L"kivtestcom.dll");

bool Exists(const std::wstring& path);
// Writes a file that must not exist yet and gives it the last-modified time.
void WriteNewFile(const std::wstring& path, const std::string& bytes, FILETIME time);
std::optional<std::string> ReadBytes(const std::wstring& path);
std::optional<FILETIME> ModifiedTime(const std::wstring& path);
// Names of the entries of a folder, hidden ones and folders included, sorted.
std::vector<std::string> EntryNames(const std::wstring& folder);
// A name under the temporary folder that is free, with a blank in it.
std::wstring NewTemporaryFolder();
void RemoveTree(const std::wstring& folder);
// The complete lines of a record file, each cut into fields at the given separators in turn;
// throws on a line that lacks one.
std::vector<std::vector<std::string>> Records(const std::wstring& path,
                                              const std::string& separators);

// The system folders as a program of this bitness sees them.
struct SystemFolders {
    std::wstring system;     // GetSystemDirectoryW
    std::wstring wow64Path;  // its SysWOW64 sibling, whether or not it exists
    std::wstring wow64;      // wow64Path when it holds an ordinary file (64-bit Windows)
    bool separate = false;   // system and wow64 are different folders (no redirection)
};
SystemFolders CurrentSystemFolders();

// One start of the stub main application, as it recorded it.
struct Start {
    DWORD pid = 0;
    bool useShowWindow = false;
    int showWindow = -1;
    std::string commandLine;
};

class Installation {
public:
    // A folder with an empty "support" folder: at the given place, which must not exist
    // yet, or new under the temporary folder with a blank in its name.
    explicit Installation(std::wstring folder);
    Installation();
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::wstring& Folder() const { return folder_; }
    std::wstring Support(const std::wstring& name = L"") const;
    std::wstring Library(const std::wstring& name = L"") const;

    void MakeLibrary() const;
    void RemoveSupport() const;
    void Stage(const std::wstring& name, const std::string& bytes, FILETIME time) const;
    void PlaceStub() const;
    // The starts the stub recorded in this folder, in order.
    std::vector<Start> Starts() const;

private:
    std::wstring folder_;
};

// Files in the system folders that a test puts there or expects the program to put
// there; all of them are removed at the end. Refuses a file that is there already, so
// that it never removes one it did not make.
class SystemFiles {
public:
    SystemFiles() = default;
    ~SystemFiles();
    SystemFiles(const SystemFiles&) = delete;
    SystemFiles& operator=(const SystemFiles&) = delete;

    void Place(const std::wstring& path, const std::string& bytes, FILETIME time);
    void Expect(const std::wstring& path);

private:
    std::vector<std::wstring> paths_;
};

// Makes an existing but empty SysWOW64 look like that of 64-bit Windows to the program,
// with an ordinary file in it: a stub regsvr32.exe that records its starts.
void SeedWow64(SystemFiles& files);

// Holds a file open without sharing, as a running application holds its DLL, until the
// last copy of the result is gone.
std::shared_ptr<void> HoldOpen(const std::wstring& path);

// Marks a file read-only until the last copy of the result is gone. Run as root, wine
// writes such files anyway, so under wine the file also gets the Linux immutable flag, which
// wine reports as access denied; "unavailable" tells why that could not be done.
std::shared_ptr<void> MarkReadOnly(const std::wstring& path, std::string& unavailable);

}  // namespace kiv::e2e
