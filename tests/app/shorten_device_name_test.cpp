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

TEST(ShortenDeviceName, CutsStemToTenAndExtensionToFitWithoutSplittingACharacter) {
    const struct {
        const char* name;
        const char* shortened;
    } cases[] = {
        {"readme.txt", "readme.txt"},
        {"abcdefghijk.t", "abcdefghijk.t"},   // 13 bytes stay
        {"abcdefghijklm", "abcdefghijklm"},   // 13 bytes, no extension
        {"abcdefghijk.tx", "abcdefghij.tx"},  // 14 bytes are cut
        {"文曲星.txt", "文曲星.txt"},
        {"abcdefghijklmnop.txt", "abcdefghij.txt"},
        {"abcdefghijkl.jpeg2000", "abcdefghij.jpe"},
        {"abcdefghi.jpeg", "abcdefghi.jpeg"},
        // The stem runs to the first dot, the extension from the last.
        {"my.long.file.name.txt", "my.txt"},
        {".abcdefghijklmn", ".abcdefghijklm"},
        // Five two-byte characters fill the stem's ten bytes; after a letter
        // the fifth would straddle the limit.
        {"一二三四五六七八.txt", "一二三四五.txt"},
        {"a一二三四五六七八.txt", "a一二三四.txt"},
        {"abcdefghijkl.t文本", "abcdefghij.t文"},
        {"abcdefghijkl.tx文", "abcdefghij.tx"},
        // Without extension: fourteen whole bytes.
        {"abcdefghijklmnopq", "abcdefghijklmn"},
        {"一二三四五六七八", "一二三四五六七"},
        {"a一二三四五六七", "a一二三四五六"},
        // 亖 is 0x81 0x81: its trail looks like a lead byte, so only walking
        // from the start tells where a character begins.
        {"ab亖亖亖亖亖亖亖", "ab亖亖亖亖亖亖"},
        {"a亖亖亖亖亖亖亖", "a亖亖亖亖亖亖"},
        // € is the single byte 0x80, not the start of a pair.
        {"€一二三四五六七", "€一二三四五六"},
    };
    for (const auto& c : cases) EXPECT_EQ(Shorten(Gbk(c.name)), Gbk(c.shortened)) << c.name;
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
