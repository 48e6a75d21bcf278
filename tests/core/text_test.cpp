// The GBK converter on text it must keep or refuse, and every text of the
// table read back as the UTF-8 it was written in.
#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "text/gbk.h"
#include "text/text_rows.h"
#include "text/utf8.h"

namespace kestrel::test {
namespace {

using MaybeGbk = std::optional<std::string_view>;

TEST(Text, ConversionIsWholeOrNothing) {
    // UTF-8 → GBK; where it converts, back again, also through the user's text.
    const struct {
        const char* name;
        std::string_view utf8;
        MaybeGbk gbk;
        bool wellFormed;
    } rows[] = {
        {"empty", "", "", true},
        {"ascii and hanzi", "A\xE4\xBC\xA0\xE8\xBE\x93\xE3\x80\x82", "A\xB4\xAB\xCA\xE4\xA1\xA3",
         true},
        {"euro is one byte", "\xE2\x82\xAC", "\x80", true},
        {"emoji outside GBK", "\xF0\x9F\x98\x80", std::nullopt, true},
        {"U+D7FF below the surrogates", "\xED\x9F\xBF", std::nullopt, true},
        {"U+E000 above the surrogates", "\xEE\x80\x80", std::nullopt, true},
        {"first surrogate", "\xED\xA0\x80", std::nullopt, false},
        {"last surrogate", "\xED\xBF\xBF", std::nullopt, false},
        {"overlong slash", "\xC0\xAF", std::nullopt, false},
        {"overlong three bytes", "\xE0\x80\xAF", std::nullopt, false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", std::nullopt, false},
        {"cut short", "\xE4\xB8", std::nullopt, false},
        {"bad continuation", "\xE4\x41\x80", std::nullopt, false},
        {"good then bad", "\xE4\xB8\xAD\xFF", std::nullopt, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(utf8::IsWellFormed(row.utf8), row.wellFormed);
        EXPECT_EQ(gbk::FromUtf8(row.utf8), row.gbk);
        if (!row.gbk) continue;
        EXPECT_EQ(gbk::ToUtf8(*row.gbk), row.utf8);
        const auto user = gbk::ToUserText(*row.gbk);
        ASSERT_TRUE(user);
        EXPECT_EQ(gbk::FromUserText(*user), row.gbk);
    }

    const struct {
        const char* name;
        std::string_view gbk;
    } notGbk[] = {
        {"lone lead", "\xB4"},
        {"lone lead after a character", "\xB4\xAB\xB4"},
        {"trail 0x7F", "\x81\x7F"},
        {"trail below 0x40", "\x81\x3F"},
        {"trail 0xFF", "\x81\xFF"},
        {"byte 0xFF", "\xFF"},
        {"code GBK leaves empty", "\xA2\xA0"},
    };
    for (const auto& row : notGbk) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(gbk::ToUtf8(row.gbk), std::nullopt);
        EXPECT_EQ(gbk::ToUserText(row.gbk), std::nullopt);
    }
}

TEST(Text, EveryTextReadsBackAsWritten) {
    for (const texts::TextRow& row : texts::kTextRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(gbk::ToUtf8(row.gbk), row.utf8);
    }
}

}  // namespace
}  // namespace kestrel::test
