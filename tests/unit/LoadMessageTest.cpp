#include <gtest/gtest.h>

#include <climits>

#include "fakes/FakeWindows.h"
#include "messages/LoadMessage.h"

namespace kiv {
namespace {

class LoadMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        windows.Install();
        MessageBase = 20000;
    }
    fake::Windows windows;
};

struct Lookup {
    int32_t base;
    int32_t code;
    const char* expected;
};

// The texts the user reads, blanks and accents as they must appear.
const Lookup kTexts[] = {
    {20000, 1009, " Determine File $\\Path..."},
    {20000, 1012, " Removing DLL/OCX from register..."},
    {20000, 1016, " Registering new DLL/OCX..."},
    {20000, 1018, "The following error occured during installation : "},
    {20000, 1019, "File :  "},
    {20000, 1020, "Action :  "},
    {20000, 1051, "Copy file to destination folder"},
    {20000, 1078, "Verify file exist..."},
    {20000, 1081,
     "The update cannot be completed, because the application is locked by another user ! "
     "Make sure to close all Kiv software applications and try again."},
    {20000, 1083, "Close all Kiv software applications and try again...."},
    {0, 1009, " Path Bestand bepalen..."},
    {0, 1051, "DLL Kopi\xC3\xABren naar Bestemming"},
    {0, 1019, "Bestand :  "},
    {10000, 1009,
     " D\xC3\xA9"
     "finir le chemin d'acc\xC3\xA8s du Fichier..."},
    {10000, 1078, "Contr\xC3\xB4le du Fichier..."},
    {10000, 1020, "Traitement :  "},
};

TEST_F(LoadMessageTest, ReturnsTheStoredTextOfTheSelectedLanguage) {
    for (const auto& lookup : kTexts) {
        MessageBase = lookup.base;
        EXPECT_EQ(LoadMessage(lookup.code), lookup.expected)
            << "base " << lookup.base << " code " << lookup.code;
    }
}

TEST_F(LoadMessageTest, MissingTextsGiveTheMarkerWithTheCodeAsPassed) {
    windows.strings.texts[21100] = "";     // an empty entry of a bundle
    windows.strings.texts[0] = "wrapped";  // reachable only through 32-bit wrap-around
    const Lookup cases[] = {
        {20000, 1091, " [LL 1091 ?] "},  // gap inside the block
        {20000, 1100, " [LL 1100 ?] "},  // empty entry
        {20000, 0, " [LL 0 ?] "},
        {20000, -5, " [LL -5 ?] "},
        {20000, -20001, " [LL -20001 ?] "},              // identifier -1
        {20000, 45536, " [LL 45536 ?] "},                // identifier 65536
        {65536, 1009, " [LL 1009 ?] "},                  // would read 1009 if cut to 16 bits
        {20000, INT32_MAX, " [LL 2147483647 ?] "},       // 32-bit overflow
        {INT32_MIN, INT32_MIN, " [LL -2147483648 ?] "},  // wraps to identifier 0
        {-1, INT32_MIN, " [LL -2147483648 ?] "},
    };
    for (const auto& lookup : cases) {
        MessageBase = lookup.base;
        EXPECT_EQ(LoadMessage(lookup.code), lookup.expected)
            << "base " << lookup.base << " code " << lookup.code;
    }
}

TEST_F(LoadMessageTest, ReadsTheTableAfreshOnEveryCall) {
    EXPECT_EQ(LoadMessage(1019), "File :  ");
    windows.strings.texts[21019] = "Datei :  ";
    EXPECT_EQ(LoadMessage(1019), "Datei :  ");
    MessageBase = 0;
    EXPECT_EQ(LoadMessage(1019), "Bestand :  ");
    EXPECT_EQ(windows.strings.loads, 3);
}

}  // namespace
}  // namespace kiv
