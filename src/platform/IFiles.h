#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiv {

struct ListedFile;

namespace attr {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
constexpr uint32_t Invalid = 0xFFFFFFFF;  // nothing could be read at the path
}  // namespace attr

// A last-modified time in whole seconds since 1970-01-01 UTC.
using FileTime = int64_t;

// What one query of a path found.
struct FileLook {
    uint32_t attributes = attr::Invalid;
    FileTime lastModified = 0;
};

// The "Scripting.FileSystemObject" automation object: the two calls the pass makes.
struct IFileSystem {
    virtual ~IFileSystem() = default;
    // Whether a file, not a folder, is at path. The same query answers what the pass asks
    // next of a destination, so it is handed back in `found`: the pass reads the installed
    // file's time from it and hands it on to CopyFile, one query of each destination instead
    // of three.
    virtual bool FileExists(const std::string& path, FileLook& found) = 0;
    // Copies onto an existing destination, which keeps its place until the copy is
    // complete: a failed copy leaves it as it was. The copy keeps the source's
    // last-modified time. `destinationLook` is what FileExists has just found at the
    // destination. Raises 53 (no source), 76 (no folder), 70 (in use, read-only, hidden,
    // system).
    // Given the source's signed entry, the copy is checked against it before it is put in
    // place (NotFromPublisher), hashed from the one open it is copied from.
    virtual void CopyFile(const std::string& source, const std::string& destination,
                          const FileLook& destinationLook, const ListedFile* listed) = 0;
    // Opens an installed file so that nobody can change, move or delete it until the hold is
    // let go of, and checks it against its signed entry (NotFromPublisher). Others may still
    // read and load it.
    virtual std::shared_ptr<void> HoldAsListed(const std::string& path,
                                               const ListedFile& listed) = 0;
};

// The file system as the program's runtime sees it. Failures raise RuntimeError.
struct IFiles {
    virtual ~IFiles() = default;
    // Attributes of a path; raises 53/76/52... when it cannot be queried.
    virtual uint32_t GetAttributes(const std::string& path) = 0;
    // Last-modified time of a file; raises 53 when there is none.
    virtual FileTime LastModified(const std::string& path) = 0;
    // The first name matching a wildcard path among normal files (no hidden or system
    // files, no folders), or the empty text when none matches.
    virtual std::string FirstNormalFile(const std::string& pattern) = 0;
    // Names, without folder, of the normal, archive and read-only files of a folder
    // (not hidden, system or folders), in case-insensitive order. Raises 76 when the
    // folder does not exist.
    virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
    // The whole of a small file; raises 53/76/70... when it cannot be read.
    virtual std::string ReadAll(const std::string& path) = 0;
    // Raises 429 when the object cannot be created.
    virtual std::shared_ptr<IFileSystem> CreateFileSystem() = 0;
};

}  // namespace kiv
