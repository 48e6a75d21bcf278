#include "text/utf8.h"

namespace kestrel::utf8 {
namespace {

constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kLastCode = 0x10FFFF;

}  // namespace

Character CharacterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1FU, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0FU, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07U, least = 0x10000;
    } else {
        return {};
    }
    if (text.size() - at < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80U) return {};
        code = (code << 6U) | (next & 0x3FU);
    }
    const bool surrogate = code >= kFirstSurrogate && code <= kLastSurrogate;
    if (code < least || surrogate || code > kLastCode) return {};
    return {code, length};
}

bool IsWellFormed(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const Character character = CharacterAt(text, at);
        if (character.length == 0) return false;
        at += character.length;
    }
    return true;
}

}  // namespace kestrel::utf8
