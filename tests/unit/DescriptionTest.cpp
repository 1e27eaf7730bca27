#include <gtest/gtest.h>

#include <climits>

#include "folders/CSystemFolders.h"

namespace kiv {
namespace {

// Whole texts as users of the class read them, CSIDL 0 to 61 in order.
const char* const kExpected[] = {
    "Desktop (virtual)",
    "Internet Explorer (virtual)",
    "\\Start Menu\\Programs (current user)",
    "My Computer\\Control Panel (virtual)",
    "My Computer\\Printers (virtual)",
    "\\My Documents (current user)",
    "\\Favorites (current user)",
    "\\Start Menu\\Programs\\Startup (current user)",
    "\\Recent (current user)",
    "\\SendTo (current user)",
    "Recycle Bin (virtual)",
    "\\Start Menu (current user)",
    "My Documents (virtual)",
    "\\My Documents\\My Music (current user)",
    "\\My Documents\\My Video (current user)",
    "{unknown constant}",
    "\\Desktop (current user)",
    "My Computer (virtual)",
    "Network Neighborhood (virtual)",
    "\\NetHood (current user)",
    "C:\\Windows\\Fonts (system)",
    "\\Templates (current user)",
    "\\Start Menu (all users)",
    "\\Start Menu\\Programs (all users)",
    "\\Start Menu\\Programs\\Startup (all users)",
    "\\Desktop (all users)",
    "\\Application Data (current user)",
    "\\PrintHood (current user)",
    "\\Local Settings\\Application Data (current user)",
    "Nonlocalized Startup group (current user)",
    "Nonlocalized Startup group (all users)",
    "\\Favorites (all users)",
    "\\Temporary Internet Files (current user)",
    "\\Cookies (current user)",
    "\\Local Settings\\History (current user)",
    "\\Application Data (all users)",
    "C:\\Windows (system)",
    "C:\\Windows\\System (system)",
    "C:\\Program Files (system)",
    "\\My Documents\\My Pictures (current user)",
    "\\{username} (current user)",
    "x86 system directory on RISC",
    "x86 Program Files folder on RISC",
    "C:\\Program Files\\Common (system)",
    "x86 Program Files Common folder on RISC",
    "\\Templates (all users)",
    "\\Documents (all users)",
    "\\Start Menu\\Programs\\Administrative Tools (all users)",
    "\\Start Menu\\Programs\\Administrative Tools (current user)",
    "Network and Dial-up Connections",
    "{unknown constant}",
    "{unknown constant}",
    "{unknown constant}",
    "\\Documents\\My Music (all users)",
    "\\Documents\\My Pictures (all users)",
    "\\Documents\\My Video (all users)",
    "C:\\Windows\\Resources (system)",
    "C:\\Windows\\Resources\\{LCID} (system)",
    "Links to OEM specific apps (all users)",
    "\\Local Settings\\Application Data\\Microsoft\\CD Burning (current user)",
    "{unknown constant}",
    "Computers Near Me (virtual)",
};

TEST(DescriptionTest, EveryCsidlFromZeroTo61) {
    ASSERT_EQ(std::size(kExpected), 62u);
    for (int32_t csidl = 0; csidl < 62; ++csidl) {
        EXPECT_EQ(CSystemFolders::Description(csidl), kExpected[csidl]) << csidl;
    }
}

TEST(DescriptionTest, OnlyTheSignedCreationFlagHasItsSentence) {
    EXPECT_EQ(CSystemFolders::Description(-32768),
              "Combine with any other CSIDL to force the creation of the associated folder.");
    for (int32_t other : {32768, -32742, 62, 1000, -1, INT32_MIN, INT32_MAX, 0x801A}) {
        EXPECT_EQ(CSystemFolders::Description(other), "{unknown constant}") << other;
    }
}

}  // namespace
}  // namespace kiv
