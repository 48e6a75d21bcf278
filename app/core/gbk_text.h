#pragma once
// Conversion between the user's text and GBK (code page 936), the only text
// the handheld knows. The user's text is the platform's native text: UTF-8
// on POSIX, UTF-16 on Windows, the same as std::filesystem::path holds.
//
// Promises:
// - A conversion either gives back the whole text, or nothing (nullopt): a
//   character GBK cannot hold, or input that is not valid in its encoding,
//   fails the conversion; nothing is ever replaced or dropped.
// - Empty text converts to empty text.
// - Thread-safe; no state is kept between calls.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

using UserText = std::filesystem::path::string_type;
using UserTextView = std::basic_string_view<std::filesystem::path::value_type>;

std::optional<std::string> ToGbk(UserTextView text);
std::optional<UserText> FromGbk(std::string_view gbk);

// The same between UTF-8 bytes and GBK bytes, for the contents of text files.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace kestrel
