#pragma once
// Conversion between text and GBK (code page 936), the only text the
// handheld knows, in standard C++ over a table generated at build time.
// The user's text is the platform's own, as std::filesystem::path holds it:
// UTF-8 on POSIX and in the browser, UTF-16 on Windows.
//
// Promises:
// - A conversion gives back the whole text, or nothing (nullopt): input that
//   is not valid in its encoding, or a character GBK cannot hold, fails it;
//   nothing is ever replaced or dropped.
// - Empty text converts to empty text. The single byte 0x80 is the euro
//   sign, as in code page 936; 0xFF is not GBK.
// - Thread-safe and without state; no call blocks. The first conversion to
//   GBK builds the reverse table once (128 KiB, a fraction of a millisecond).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

using UserText = std::filesystem::path::string_type;
using UserTextView = std::basic_string_view<std::filesystem::path::value_type>;

namespace gbk {

std::optional<std::string> FromUtf8(std::string_view utf8);
std::optional<std::string> ToUtf8(std::string_view gbk);

std::optional<std::string> FromUtf16(std::u16string_view utf16);
std::optional<std::u16string> ToUtf16(std::string_view gbk);

std::optional<std::string> FromUserText(UserTextView text);
std::optional<UserText> ToUserText(std::string_view gbk);

}  // namespace gbk
}  // namespace kestrel
