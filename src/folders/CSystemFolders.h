#pragma once

#include <cstdint>
#include <string>

namespace kiv {

struct IShellFolders;
struct IModules;
struct ISystemDirs;
struct IFiles;

// Ask the shell to create the folder if it is missing: the 16-bit 0x8000 widened with
// its sign, so 0xFFFF8000 and never 0x00008000.
constexpr int32_t CSIDL_FLAG_CREATE = -32768;
constexpr int32_t CSIDL_APPDATA = 26;

// Windows special folders by CSIDL. Paths come from SHGetFolderPath where shfolder
// exports it (the enhanced route), from the older item-identifier calls elsewhere.
class CSystemFolders {
public:
    CSystemFolders(IModules& modules, IShellFolders& shell, ISystemDirs& dirs, IFiles& files);
    // Wired to the ports installed for the process.
    CSystemFolders();

    bool Enhanced() const { return enhanced_; }
    bool Exists(int32_t csidl);
    std::string Path(int32_t csidl, bool Default = true, bool ForceCreation = false);
    std::string SysDir();
    std::string TmpDir();
    std::string WinDir();
    static std::string Description(int32_t csidl);
    static std::string TrimNull(const std::string& StrZ);

private:
    bool ExportExists(const std::string& library, const std::string& function);
    bool FolderExists(const std::string& path);
    std::string EnhancedPath(int32_t csidl, bool Default, bool ForceCreation);
    std::string FallbackPath(int32_t csidl);

    IModules& modules_;
    IShellFolders& shell_;
    ISystemDirs& dirs_;
    IFiles& files_;
    bool enhanced_ = false;
};

}  // namespace kiv
