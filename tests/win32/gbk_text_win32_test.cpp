// GBK conversion through code page 936 where Windows differs from iconv:
// UTF-16 surrogates, and the "best fit" lookalikes the system would
// otherwise put in place of characters GBK lacks.
#include <gtest/gtest.h>

#include <string>

#include "app/gbk_text.h"

namespace kestrel {
namespace {

TEST(GbkTextWin32Test, RefusesLoneSurrogates) {
    EXPECT_EQ(ToGbk(L"a\xD800"
                    L"b"),
              std::nullopt);
    EXPECT_EQ(ToGbk(L"\xDC00"), std::nullopt);
    EXPECT_EQ(ToGbk(L"ab\xD83D"), std::nullopt);  // cut off at the end
}

TEST(GbkTextWin32Test, RefusesCharactersTheSystemWouldBestFit) {
    // Without WC_NO_BEST_FIT_CHARS these can come out as plain letters or
    // digits, and the handheld would get a different name than was typed.
    for (const wchar_t* text : {L"\x00E4", L"\x00F1", L"\x017F", L"\x00B9", L"\x2153", L"\xFF61"}) {
        EXPECT_EQ(ToGbk(text), std::nullopt) << "U+" << std::hex << static_cast<int>(text[0]);
    }
}

TEST(GbkTextWin32Test, KeepsWhatGbkHoldsWhateverTheSystemCodePage) {
    // Pinyin letters are GBK characters, not lookalikes: they stay.
    const std::wstring text = L"\x00FC\x00E9\x01CE\x6587\x672C";  // üéǎ文本
    const auto gbk = ToGbk(text);
    ASSERT_TRUE(gbk.has_value());
    EXPECT_EQ(gbk->size(), 10u);
    EXPECT_EQ(FromGbk(*gbk), text);
}

}  // namespace
}  // namespace kestrel
