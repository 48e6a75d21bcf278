#pragma once
// Well-formed UTF-8, one character at a time: no overlong forms, no
// surrogates, nothing above U+10FFFF. Pure functions, no state.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel::utf8 {

struct Character {
    char32_t code = 0;
    std::size_t length = 0;  // in bytes; 0 when no well-formed character starts here
};

// The character that starts at `at` (which must be inside the text).
Character CharacterAt(std::string_view text, std::size_t at);

bool IsWellFormed(std::string_view text);

// Writes a character of the Basic Multilingual Plane that is not a
// surrogate (all that GBK holds) at `out`, which has room for three bytes,
// and returns the end of what it wrote. Inline: it runs once a character.
inline char* Write(char* out, char16_t code) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0U | (code >> 6U));
        *out++ = static_cast<char>(0x80U | (code & 0x3FU));
    } else {
        *out++ = static_cast<char>(0xE0U | (code >> 12U));
        *out++ = static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
        *out++ = static_cast<char>(0x80U | (code & 0x3FU));
    }
    return out;
}

}  // namespace kestrel::utf8
