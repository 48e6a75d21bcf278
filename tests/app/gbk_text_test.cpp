#include "app/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/app/user_text.h"

namespace kestrel {
namespace {

using test::User;

TEST(GbkText, ConvertsBothWays) {
    const std::string wenben = "\xCE\xC4\xB1\xBE";  // 文本
    EXPECT_EQ(ToGbk(User("LavaData")), "LavaData");
    EXPECT_EQ(ToGbk(User("BASIC文本")), "BASIC" + wenben);
    EXPECT_EQ(FromGbk("BASIC" + wenben), User("BASIC文本"));
    EXPECT_EQ(ToGbk(User("")), "");
    EXPECT_EQ(FromGbk(""), User(""));
}

TEST(GbkText, KeepsCharactersWhoseTrailByteIsAsciiOrHigh) {
    // 丟 ends in 'G', 亖 in 0x81, € is the single byte 0x80 of code page 936.
    EXPECT_EQ(ToGbk(User("丟亖€")), "\x81G\x81\x81\x80");
    EXPECT_EQ(FromGbk("\x81G\x81\x81\x80"), User("丟亖€"));
}

TEST(GbkText, RefusesWhatGbkCannotHoldInsteadOfReplacingIt) {
    EXPECT_EQ(ToGbk(User("😀")), std::nullopt);
    EXPECT_EQ(ToGbk(User("ab😀cd")), std::nullopt);
    EXPECT_EQ(ToGbk(User("한국어")), std::nullopt);
}

TEST(GbkText, RefusesBrokenInput) {
    EXPECT_EQ(FromGbk("ab\xCE"), std::nullopt);  // lead byte without its trail
    EXPECT_EQ(FromGbk("\xFF"), std::nullopt);
    EXPECT_EQ(FromGbk("\x81\x7F"), std::nullopt);  // 0x7F is never a trail byte
}

}  // namespace
}  // namespace kestrel
