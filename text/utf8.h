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

// Appends a character of the Basic Multilingual Plane that is not a
// surrogate (all that GBK holds).
void Append(std::string& out, char16_t code);

}  // namespace kestrel::utf8
