#include "folders/CSystemFolders.h"

#include "platform/IFiles.h"
#include "platform/IModules.h"
#include "platform/IShellFolders.h"
#include "platform/ISystemDirs.h"
#include "platform/Ports.h"

namespace kiv {

namespace {

constexpr uint32_t kMaxPath = 260;
constexpr uint32_t kTypeCurrent = 0;
constexpr uint32_t kTypeDefault = 1;

std::string PathBuffer() {
    return std::string(kMaxPath, ' ');
}

// The directory calls report how many characters they wrote; anything else (0 for a
// failure, or a length the buffer could not hold) gives the empty text.
template <typename Query>
std::string DirectoryText(Query query) {
    std::string buffer(kMaxPath, '\0');
    const uint32_t length = query(buffer);
    if (length == 0 || length > buffer.size()) {
        return {};
    }
    return buffer.substr(0, length);
}

}  // namespace

CSystemFolders::CSystemFolders(IModules& modules, IShellFolders& shell, ISystemDirs& dirs,
                               IFiles& files)
    : modules_(modules), shell_(shell), dirs_(dirs), files_(files) {
    // The probe asks for the ANSI export by its name; the program then calls the wide one,
    // so both must be there.
    enhanced_ = ExportExists("shfolder", "SHGetFolderPathA") &&
                ExportExists("shfolder", "SHGetFolderPathW");
}

CSystemFolders::CSystemFolders()
    : CSystemFolders(*Platform().modules, *Platform().shell, *Platform().dirs, *Platform().files) {}

bool CSystemFolders::ExportExists(const std::string& library, const std::string& function) {
    ModuleHandle module = modules_.GetLoaded(library);
    const bool loadedHere = module == 0;
    if (loadedHere) {
        module = modules_.LoadSystemLibrary(library);
        if (module == 0) {
            return false;
        }
    }
    const bool found = modules_.Find(module, function) != 0;
    if (loadedHere) {
        modules_.Free(module);
    }
    return found;
}

bool CSystemFolders::Exists(int32_t csidl) {
    if (enhanced_) {
        std::string buffer = PathBuffer();
        return shell_.GetFolderPath(csidl, kTypeCurrent, buffer) == hr::Ok;
    }
    return FolderExists(Path(csidl, true, false));
}

std::string CSystemFolders::Path(int32_t csidl, bool Default, bool ForceCreation) {
    return enhanced_ ? EnhancedPath(csidl, Default, ForceCreation) : FallbackPath(csidl);
}

std::string CSystemFolders::EnhancedPath(int32_t csidl, bool Default, bool ForceCreation) {
    if (ForceCreation) {
        csidl |= CSIDL_FLAG_CREATE;
    }
    std::string buffer = PathBuffer();
    if (shell_.GetFolderPath(csidl, Default ? kTypeDefault : kTypeCurrent, buffer) != hr::Ok) {
        return {};
    }
    return TrimNull(buffer);
}

std::string CSystemFolders::FallbackPath(int32_t csidl) {
    ItemIdList list = 0;
    if (shell_.GetSpecialFolderLocation(csidl, list) != hr::Ok) {
        return {};
    }
    std::string result;
    std::string buffer = PathBuffer();
    if (shell_.GetPathFromIdList(list, buffer)) {
        result = TrimNull(buffer);
    }
    shell_.FreeIdList(list);
    return result;
}

std::string CSystemFolders::SysDir() {
    return DirectoryText([this](std::string& b) { return dirs_.SystemDirectory(b, kMaxPath); });
}

std::string CSystemFolders::TmpDir() {
    return DirectoryText([this](std::string& b) { return dirs_.TempPath(kMaxPath, b); });
}

std::string CSystemFolders::WinDir() {
    return DirectoryText([this](std::string& b) { return dirs_.WindowsDirectory(b, kMaxPath); });
}

std::string CSystemFolders::TrimNull(const std::string& StrZ) {
    return StrZ.substr(0, StrZ.find('\0'));
}

bool CSystemFolders::FolderExists(const std::string& path) {
    try {
        return (files_.GetAttributes(path) & attr::Directory) != 0;
    } catch (...) {
        // Missing, malformed or unreachable paths are simply not folders.
        return false;
    }
}

}  // namespace kiv
