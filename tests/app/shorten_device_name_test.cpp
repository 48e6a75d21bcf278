#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "app/device_naming.h"
#include "app/gbk_text.h"
#include "tests/support/gbk.h"

namespace kestrel {
namespace {

using test::Gbk;

// The offset the picker reports: just after the last ".", 0 without one.
std::size_t ExtensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? 0 : dot + 1;
}

std::string Shorten(std::string_view gbkName) {
    return ShortenDeviceName(gbkName, ExtensionOf(gbkName));
}

TEST(ShortenDeviceName, KeepsNamesShorterThanFourteenBytes) {
    EXPECT_EQ(Shorten("readme.txt"), "readme.txt");
    EXPECT_EQ(Shorten("abcdefghijk.t"), "abcdefghijk.t");      // 13 bytes
    EXPECT_EQ(Shorten("abcdefghijklm"), "abcdefghijklm");      // 13 bytes, no extension
    EXPECT_EQ(Shorten("abcdefghijk.tx"), "abcdefghij.tx");     // 14 bytes are cut
    EXPECT_EQ(Shorten(Gbk("文曲星.txt")), Gbk("文曲星.txt"));  // 10 bytes
}

TEST(ShortenDeviceName, CutsTheStemAtTenBytesAndKeepsTheExtension) {
    EXPECT_EQ(Shorten("abcdefghijklmnop.txt"), "abcdefghij.txt");
    EXPECT_EQ(Shorten("abcdefghijkl.jpeg2000"), "abcdefghij.jpe");
    EXPECT_EQ(Shorten("abcdefghi.jpeg"), "abcdefghi.jpeg");
}

TEST(ShortenDeviceName, TakesTheStemUpToTheFirstDotAndTheExtensionAfterTheLast) {
    EXPECT_EQ(Shorten("my.long.file.name.txt"), "my.txt");
    EXPECT_EQ(Shorten(".abcdefghijklmn"), ".abcdefghijklm");
}

TEST(ShortenDeviceName, NeverSplitsATwoByteCharacterOfTheStem) {
    // Eight characters: five fill the ten bytes.
    EXPECT_EQ(Shorten(Gbk("一二三四五六七八.txt")), Gbk("一二三四五.txt"));
    // A letter first puts the fifth lead byte at position 9: it is left out.
    const std::string shortened = Shorten(Gbk("a一二三四五六七八.txt"));
    EXPECT_EQ(shortened, Gbk("a一二三四.txt"));
    EXPECT_EQ(shortened.size(), 13U);
}

TEST(ShortenDeviceName, NeverSplitsATwoByteCharacterOfTheExtension) {
    EXPECT_EQ(Shorten(Gbk("abcdefghijkl.t文本")), Gbk("abcdefghij.t文"));
    EXPECT_EQ(Shorten(Gbk("abcdefghijkl.tx文")), "abcdefghij.tx");
}

TEST(ShortenDeviceName, CutsANameWithoutExtensionAtFourteenWholeBytes) {
    EXPECT_EQ(Shorten("abcdefghijklmnopq"), "abcdefghijklmn");
    EXPECT_EQ(Shorten(Gbk("一二三四五六七八")), Gbk("一二三四五六七"));
    // The seventh character would straddle bytes 13 and 14.
    EXPECT_EQ(Shorten(Gbk("a一二三四五六七")), Gbk("a一二三四五六"));
    // 亖 is 0x81 0x81: its trail looks like a lead byte, so only walking from
    // the start tells where a character begins.
    EXPECT_EQ(Shorten(Gbk("ab亖亖亖亖亖亖亖")), Gbk("ab亖亖亖亖亖亖"));
    EXPECT_EQ(Shorten(Gbk("a亖亖亖亖亖亖亖")), Gbk("a亖亖亖亖亖亖"));
    // € is the single byte 0x80, not the start of a pair.
    EXPECT_EQ(Shorten(Gbk("€一二三四五六七")), Gbk("€一二三四五六"));
}

TEST(ShortenDeviceName, AnEmptyExtensionStillTakesTheExtensionRules) {
    EXPECT_EQ(ShortenDeviceName("abcdefghijklmn.", 15), "abcdefghij.");
    EXPECT_EQ(ShortenDeviceName("abcdefghijklmn.", 99), "abcdefghij.");
    EXPECT_EQ(ShortenDeviceName("abc.", 4), "abc.");
}

// Every name built from these pieces: the result fits, is whole GBK, and a
// name without extension is cut, never rewritten.
TEST(ShortenDeviceName, AlwaysGivesWholeGbkWithinFourteenBytes) {
    constexpr std::array<std::string_view, 5> kPieces = {"abc", "\xCE\xC4", "\x81\x81", "\x80",
                                                         "."};
    constexpr int kKinds = static_cast<int>(kPieces.size());
    constexpr int kLength = 6;
    int count = 1;
    for (int i = 0; i < kLength; ++i) count *= kKinds;
    for (int code = 0; code < count; ++code) {
        std::string name;
        for (int rest = code, i = 0; i < kLength; ++i, rest /= kKinds) {
            name += kPieces[static_cast<std::size_t>(rest % kKinds)];
        }
        const std::string shortened = Shorten(name);
        ASSERT_LE(shortened.size(), kMaxDeviceNameBytes) << test::Utf8(name);
        ASSERT_TRUE(FromGbk(shortened).has_value()) << test::Utf8(name);
        if (ExtensionOf(name) == 0) {
            ASSERT_EQ(name.rfind(shortened, 0), 0U) << test::Utf8(name);
        }
    }
}

}  // namespace
}  // namespace kestrel
