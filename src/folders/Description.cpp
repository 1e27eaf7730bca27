#include "folders/CSystemFolders.h"

#include <iterator>

namespace kiv {

namespace {

constexpr const char* kCurrentUser = " (current user)";
constexpr const char* kAllUsers = " (all users)";
constexpr const char* kSystem = " (system)";
constexpr const char* kVirtual = " (virtual)";

struct FolderWords {
    const char* text;    // nullptr: the value names no folder
    const char* suffix;  // nullptr: the text stands alone
};

// Typical locations by CSIDL 0..61, written out literally; nothing is filled in.
constexpr FolderWords kFolderWords[] = {
    {"Desktop", kVirtual},                                 // 0 CSIDL_DESKTOP
    {"Internet Explorer", kVirtual},                       // 1 CSIDL_INTERNET
    {"\\Start Menu\\Programs", kCurrentUser},              // 2 CSIDL_PROGRAMS
    {"My Computer\\Control Panel", kVirtual},              // 3 CSIDL_CONTROLS
    {"My Computer\\Printers", kVirtual},                   // 4 CSIDL_PRINTERS
    {"\\My Documents", kCurrentUser},                      // 5 CSIDL_PERSONAL
    {"\\Favorites", kCurrentUser},                         // 6 CSIDL_FAVORITES
    {"\\Start Menu\\Programs\\Startup", kCurrentUser},     // 7 CSIDL_STARTUP
    {"\\Recent", kCurrentUser},                            // 8 CSIDL_RECENT
    {"\\SendTo", kCurrentUser},                            // 9 CSIDL_SENDTO
    {"Recycle Bin", kVirtual},                             // 10 CSIDL_BITBUCKET
    {"\\Start Menu", kCurrentUser},                        // 11 CSIDL_STARTMENU
    {"My Documents", kVirtual},                            // 12 CSIDL_MYDOCUMENTS
    {"\\My Documents\\My Music", kCurrentUser},            // 13 CSIDL_MYMUSIC
    {"\\My Documents\\My Video", kCurrentUser},            // 14 CSIDL_MYVIDEO
    {nullptr, nullptr},                                    // 15
    {"\\Desktop", kCurrentUser},                           // 16 CSIDL_DESKTOPDIRECTORY
    {"My Computer", kVirtual},                             // 17 CSIDL_DRIVES
    {"Network Neighborhood", kVirtual},                    // 18 CSIDL_NETWORK
    {"\\NetHood", kCurrentUser},                           // 19 CSIDL_NETHOOD
    {"C:\\Windows\\Fonts", kSystem},                       // 20 CSIDL_FONTS
    {"\\Templates", kCurrentUser},                         // 21 CSIDL_TEMPLATES
    {"\\Start Menu", kAllUsers},                           // 22 CSIDL_COMMON_STARTMENU
    {"\\Start Menu\\Programs", kAllUsers},                 // 23 CSIDL_COMMON_PROGRAMS
    {"\\Start Menu\\Programs\\Startup", kAllUsers},        // 24 CSIDL_COMMON_STARTUP
    {"\\Desktop", kAllUsers},                              // 25 CSIDL_COMMON_DESKTOPDIRECTORY
    {"\\Application Data", kCurrentUser},                  // 26 CSIDL_APPDATA
    {"\\PrintHood", kCurrentUser},                         // 27 CSIDL_PRINTHOOD
    {"\\Local Settings\\Application Data", kCurrentUser},  // 28 CSIDL_LOCAL_APPDATA
    {"Nonlocalized Startup group", kCurrentUser},          // 29 CSIDL_ALTSTARTUP
    {"Nonlocalized Startup group", kAllUsers},             // 30 CSIDL_COMMON_ALTSTARTUP
    {"\\Favorites", kAllUsers},                            // 31 CSIDL_COMMON_FAVORITES
    {"\\Temporary Internet Files", kCurrentUser},          // 32 CSIDL_INTERNET_CACHE
    {"\\Cookies", kCurrentUser},                           // 33 CSIDL_COOKIES
    {"\\Local Settings\\History", kCurrentUser},           // 34 CSIDL_HISTORY
    {"\\Application Data", kAllUsers},                     // 35 CSIDL_COMMON_APPDATA
    {"C:\\Windows", kSystem},                              // 36 CSIDL_WINDOWS
    {"C:\\Windows\\System", kSystem},                      // 37 CSIDL_SYSTEM
    {"C:\\Program Files", kSystem},                        // 38 CSIDL_PROGRAM_FILES
    {"\\My Documents\\My Pictures", kCurrentUser},         // 39 CSIDL_MYPICTURES
    {"\\{username}", kCurrentUser},                        // 40 CSIDL_PROFILE
    {"x86 system directory on RISC", nullptr},             // 41 CSIDL_SYSTEMX86
    {"x86 Program Files folder on RISC", nullptr},         // 42 CSIDL_PROGRAM_FILESX86
    {"C:\\Program Files\\Common", kSystem},                // 43 CSIDL_PROGRAM_FILES_COMMON
    {"x86 Program Files Common folder on RISC", nullptr},  // 44 CSIDL_PROGRAM_FILES_COMMONX86
    {"\\Templates", kAllUsers},                            // 45 CSIDL_COMMON_TEMPLATES
    {"\\Documents", kAllUsers},                            // 46 CSIDL_COMMON_DOCUMENTS
    {"\\Start Menu\\Programs\\Administrative Tools", kAllUsers},     // 47 CSIDL_COMMON_ADMINTOOLS
    {"\\Start Menu\\Programs\\Administrative Tools", kCurrentUser},  // 48 CSIDL_ADMINTOOLS
    {"Network and Dial-up Connections", nullptr},                    // 49 CSIDL_CONNECTIONS
    {nullptr, nullptr},                                              // 50
    {nullptr, nullptr},                                              // 51
    {nullptr, nullptr},                                              // 52
    {"\\Documents\\My Music", kAllUsers},                            // 53 CSIDL_COMMON_MUSIC
    {"\\Documents\\My Pictures", kAllUsers},                         // 54 CSIDL_COMMON_PICTURES
    {"\\Documents\\My Video", kAllUsers},                            // 55 CSIDL_COMMON_VIDEO
    {"C:\\Windows\\Resources", kSystem},                             // 56 CSIDL_RESOURCES
    {"C:\\Windows\\Resources\\{LCID}", kSystem},                     // 57 CSIDL_RESOURCES_LOCALIZED
    {"Links to OEM specific apps", kAllUsers},                       // 58 CSIDL_COMMON_OEM_LINKS
    {"\\Local Settings\\Application Data\\Microsoft\\CD Burning",
     kCurrentUser},                   // 59 CSIDL_CDBURN_AREA
    {nullptr, nullptr},               // 60
    {"Computers Near Me", kVirtual},  // 61 CSIDL_COMPUTERSNEARME
};

}  // namespace

std::string CSystemFolders::Description(int32_t csidl) {
    if (csidl == CSIDL_FLAG_CREATE) {
        return std::string("Combine with any other CSIDL to force ") +
               "the creation of the associated folder.";
    }
    if (csidl < 0 || csidl >= static_cast<int32_t>(std::size(kFolderWords)) ||
        kFolderWords[csidl].text == nullptr) {
        return "{unknown constant}";
    }
    const FolderWords& words = kFolderWords[csidl];
    return std::string(words.text) + (words.suffix != nullptr ? words.suffix : "");
}

}  // namespace kiv
