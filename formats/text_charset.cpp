#include "formats/text_charset.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "text/texts.h"
#include "text/utf8.h"

namespace kestrel {
namespace {

constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};

bool StartsWithMark(std::span<const std::uint8_t> text) {
    return text.size() >= kByteOrderMark.size() &&
           std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), text.begin());
}

std::string_view AsChars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

Bytes FromString(const std::string& text) {
    return {text.begin(), text.end()};
}

// "第3行有GBK不能表示的字符U+1F600": the first character GBK cannot hold,
// found one character at a time once the whole text has failed.
std::string UnconvertibleText(std::span<const std::uint8_t> text, const Charset& toGbk) {
    std::size_t line = 1;
    const std::string_view chars = AsChars(text);
    for (std::size_t at = 0; at < chars.size();) {
        const auto [code, length] = utf8::CharacterAt(chars, at);
        if (length == 0) {  // a text marked as UTF-8 that is not
            return std::string(texts::kLinePrefix) + std::to_string(line) +
                   std::string(texts::kNotUtf8);
        }
        if (!toGbk(chars.substr(at, length))) {
            char figure[16];
            std::snprintf(figure, sizeof figure, "U+%04X", static_cast<unsigned>(code));
            return std::string(texts::kLinePrefix) + std::to_string(line) +
                   std::string(texts::kNotInGbk) + figure;
        }
        if (code == '\n') ++line;
        at += length;
    }
    return std::string(texts::kNotInGbk);
}

}  // namespace

bool IsUtf8Text(std::span<const std::uint8_t> text) {
    if (StartsWithMark(text)) return true;
    const std::string_view chars = AsChars(text);
    return utf8::IsWellFormed(chars) &&
           std::any_of(chars.begin(), chars.end(), [](char c) { return (c & 0x80) != 0; });
}

ResultOf<Bytes> TextForHandheld(std::span<const std::uint8_t> text, const TextCharsets& charsets,
                                bool& converted) {
    converted = false;
    if (!charsets.utf8ToGbk || !IsUtf8Text(text)) return Bytes(text.begin(), text.end());
    const auto body = StartsWithMark(text) ? text.subspan(kByteOrderMark.size()) : text;
    const std::optional<std::string> gbk = charsets.utf8ToGbk(AsChars(body));
    if (!gbk) return Result::Failed(UnconvertibleText(body, charsets.utf8ToGbk));
    converted = true;
    return FromString(*gbk);
}

ResultOf<Bytes> TextAsUtf8(std::span<const std::uint8_t> gbk, const TextCharsets& charsets) {
    const std::optional<std::string> utf8 =
        charsets.gbkToUtf8 ? charsets.gbkToUtf8(AsChars(gbk)) : std::nullopt;
    if (!utf8) return Result::Failed(texts::kReceivedNotGbk);
    return FromString(*utf8);
}

}  // namespace kestrel
