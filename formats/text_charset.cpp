#include "formats/text_charset.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "formats/format_texts.h"

namespace kestrel {
namespace {

constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};

bool StartsWithMark(std::span<const std::uint8_t> text) {
    return text.size() >= kByteOrderMark.size() &&
           std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), text.begin());
}

// The length of the well-formed UTF-8 character at `at`, 0 when there is
// none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t CharacterAt(std::span<const std::uint8_t> text, std::size_t at, char32_t& code) {
    const std::uint8_t lead = text[at];
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1FU, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0FU, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07U, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((text[at + i] & 0xC0U) != 0x80U) return 0;
        code = (code << 6U) | (text[at + i] & 0x3FU);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < least || surrogate || code > 0x10FFFF ? 0 : length;
}

std::string_view AsChars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

ConversionResult FromString(const std::string& text) {
    return {{text.begin(), text.end()}, {}};
}

// "第3行有GBK不能表示的字符U+1F600": the first character GBK cannot hold,
// found one character at a time once the whole text has failed.
std::string UnconvertibleText(std::span<const std::uint8_t> text, const Charset& toGbk) {
    std::size_t line = 1;
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = CharacterAt(text, at, code);
        if (length == 0) {  // a text marked as UTF-8 that is not
            return std::string(texts::kLinePrefix) + std::to_string(line) +
                   std::string(texts::kNotUtf8);
        }
        if (!toGbk(AsChars(text.subspan(at, length)))) {
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
    bool nonAscii = false;
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = CharacterAt(text, at, code);
        if (length == 0) return false;
        nonAscii = nonAscii || length > 1;
        at += length;
    }
    return nonAscii;
}

ConversionResult TextForHandheld(std::span<const std::uint8_t> text, const TextCharsets& charsets,
                                 bool& converted) {
    converted = false;
    if (!charsets.utf8ToGbk || !IsUtf8Text(text)) return {{text.begin(), text.end()}, {}};
    const auto body = StartsWithMark(text) ? text.subspan(kByteOrderMark.size()) : text;
    const std::optional<std::string> gbk = charsets.utf8ToGbk(AsChars(body));
    if (!gbk) return ConversionFailure(UnconvertibleText(body, charsets.utf8ToGbk));
    converted = true;
    return FromString(*gbk);
}

ConversionResult TextAsUtf8(std::span<const std::uint8_t> gbk, const TextCharsets& charsets) {
    const std::optional<std::string> utf8 =
        charsets.gbkToUtf8 ? charsets.gbkToUtf8(AsChars(gbk)) : std::nullopt;
    if (!utf8) return ConversionFailure(texts::kReceivedNotGbk);
    return FromString(*utf8);
}

}  // namespace kestrel
