// The device boxes hold at most 14 bytes of GBK while holding UTF-16: what
// is cut, where the caret lands, and that no character is ever split.

#include "app/win32/gbk_limit.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// 文 and 件: two bytes each in GBK.
constexpr wchar_t kWen = L'\x6587';
constexpr wchar_t kJian = L'\x4EF6';
// U+1F600, a smiling face: a surrogate pair GBK cannot hold.
const std::wstring kSmile = L"\xD83D\xDE00";
// U+0E01, a Thai letter: one unit GBK cannot hold.
constexpr wchar_t kThai = L'\x0E01';

TEST(GbkLength, CountsTheBytesGbkWouldTake) {
    EXPECT_EQ(GbkLength(L""), 0u);
    EXPECT_EQ(GbkLength(L"LavaData"), 8u);
    EXPECT_EQ(GbkLength(std::wstring{kWen, kJian, L'.', L't', L'x', L't'}), 8u);
    // The euro sign is a single byte in code page 936.
    EXPECT_EQ(GbkLength(L"\x20AC"), 1u);
}

TEST(GbkLength, CountsWhatGbkCannotHoldAsTwoBytes) {
    EXPECT_EQ(GbkLength(kSmile), 2u) << "a surrogate pair is one character";
    EXPECT_EQ(GbkLength(std::wstring(1, kThai)), 2u);
    EXPECT_EQ(GbkLength(L"a" + kSmile + L"b"), 4u);
}

TEST(FitGbkLimit, LeavesTextWithinTheLimitAsItCame) {
    const std::wstring seven(7, kWen);  // 14 bytes: exactly full
    const BoxEdit fitted = FitGbkLimit(seven, 3, 14);
    EXPECT_EQ(fitted.text, seven);
    EXPECT_EQ(fitted.caret, 3u);
}

TEST(FitGbkLimit, RefusesAnEighthTwoByteCharacterTypedAtTheEnd) {
    const BoxEdit fitted = FitGbkLimit(std::wstring(7, kWen) + kJian, 8, 14);
    EXPECT_EQ(fitted.text, std::wstring(7, kWen));
    EXPECT_EQ(fitted.caret, 7u);
}

TEST(FitGbkLimit, RefusesWhatIsTypedInTheMiddleAndKeepsTheRest) {
    // A full box "文文文文文文文" with 件 typed after the second character.
    std::wstring typed(7, kWen);
    typed.insert(2, 1, kJian);
    const BoxEdit fitted = FitGbkLimit(typed, 3, 14);
    EXPECT_EQ(fitted.text, std::wstring(7, kWen));
    EXPECT_EQ(fitted.caret, 2u);
}

TEST(FitGbkLimit, KeepsAsMuchOfAPasteAsFits) {
    // "abc" then a pasted "defghijklmnopqrs" ending at the caret, then "Z".
    const BoxEdit fitted = FitGbkLimit(L"abcdefghijklmnopqrsZ", 19, 14);
    EXPECT_EQ(fitted.text, L"abcdefghijklmZ");
    EXPECT_EQ(fitted.caret, 13u);
}

TEST(FitGbkLimit, NeverSplitsATwoByteCharacterAtTheLimit) {
    // 13 bytes of ASCII, then a two-byte character that would need 15.
    const BoxEdit fitted = FitGbkLimit(std::wstring(13, L'a') + kWen, 14, 14);
    EXPECT_EQ(fitted.text, std::wstring(13, L'a'));
    EXPECT_EQ(GbkLength(fitted.text), 13u);
}

TEST(FitGbkLimit, RemovesBothHalvesOfASurrogatePair) {
    const std::wstring typed = std::wstring(6, kWen) + L"a" + kSmile;  // 13 + 2 bytes
    const BoxEdit fitted = FitGbkLimit(typed, typed.size(), 14);
    EXPECT_EQ(fitted.text, std::wstring(6, kWen) + L"a");
    EXPECT_EQ(fitted.caret, 7u);
}

TEST(FitGbkLimit, CutsFromTheEndWhenTheCaretIsAtTheStart) {
    // A text set by the program rather than typed: nothing lies before the caret.
    const BoxEdit fitted = FitGbkLimit(std::wstring(9, kJian), 0, 14);
    EXPECT_EQ(fitted.text, std::wstring(7, kJian));
    EXPECT_EQ(fitted.caret, 0u);
}

}  // namespace
}  // namespace kestrel
