#include <gtest/gtest.h>

#include "trust/Publisher.h"

namespace kiv {
namespace {

TEST(Sha256, KnownDigestsWholeAndInUnevenPieces) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // padding into a second block
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToHex(Sha256::Of(c.input)), c.digest) << c.input.size();
        Sha256 pieces;
        for (size_t at = 0; at < c.input.size(); at += 63) {
            pieces.Add(c.input.data() + at, std::min<size_t>(63, c.input.size() - at));
        }
        EXPECT_EQ(ToHex(pieces.Finish()), c.digest) << c.input.size();
    }
}

const std::string kHash(64, 'a'), kHeader = std::string(StagingList::kFormatLine) + "\n";

TEST(StagingList, OnlyTheReleasesFormIsRead) {
    const auto list = StagingList::Parse(kHeader + kHash + "\t12\t1672531200\tKivA lib.dll\n");
    ASSERT_TRUE(list);
    const ListedFile* file = list->Find("kiva LIB.dll");
    ASSERT_TRUE(file);
    EXPECT_EQ(ToHex(file->sha256), kHash);
    EXPECT_EQ(file->lastModified, 1672531200);
    EXPECT_FALSE(list->Find("kivb lib.dll"));
    for (const std::string& wrong :
         {std::string("kivupdate staged files 2\n"), kHeader + kHash + "\t1\t2\ta.dll",
          kHeader + kHash + "\t1\t2\ta.dll\r\n", kHeader + kHash + "\t1\ta.dll\n",
          kHeader + kHash.substr(1) + "g\t1\t2\ta.dll\n", kHeader + kHash + "\t-1\t2\ta.dll\n",
          kHeader + kHash + "\t1\t2\t..\\a.dll\n", kHeader + kHash + "\t1\t2\t\n",
          kHeader + kHash + "\t1\t2\ta.dll\n" + kHash + "\t1\t2\tA.DLL\n"}) {
        EXPECT_FALSE(StagingList::Parse(wrong)) << wrong;
    }
}

TEST(PublisherPins, OneOrTwoAndABrokenOneMatchesNothing) {
    EXPECT_TRUE(ParsePins("").empty());
    const std::string other(64, 'B');
    const CertificatePins pins = ParsePins(kHash + ";" + other);
    ASSERT_EQ(pins.size(), 2u);
    EXPECT_EQ(ToHex(pins[1]), std::string(64, 'b'));
    const CertificatePins broken = ParsePins(kHash.substr(2));
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0], Sha256::Digest{});
}

}  // namespace
}  // namespace kiv
