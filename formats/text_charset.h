#pragma once
// Which characters a text file holds, for a handheld that shows GBK (code
// page 936) only. A PC text that starts with the UTF-8 byte-order mark, or
// whose bytes are valid UTF-8 and hold at least one non-ASCII character, is
// UTF-8; anything else (GBK, ASCII, bytes that are not UTF-8) is taken to be
// the handheld's own and goes as it is.
//
// The conversions themselves are the platform's (TextCharsets, supplied by
// the front-end core): a text is converted whole or not at all, never
// passed on half-converted.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/pc_file.h"
#include "status/result.h"

namespace kestrel {

using Charset = std::function<std::optional<std::string>(std::string_view text)>;

struct TextCharsets {
    Charset utf8ToGbk;  // empty: texts go as they are
    Charset gbkToUtf8;  // empty: a fetched text cannot be had as UTF-8
};

bool IsUtf8Text(std::span<const std::uint8_t> text);

// The text as the handheld should get it; converted tells whether it was
// UTF-8. Fails, naming the line and the character, when GBK cannot hold one.
ResultOf<Bytes> TextForHandheld(std::span<const std::uint8_t> text, const TextCharsets& charsets,
                                bool& converted);

// A fetched (GBK) text as UTF-8; fails when it is not GBK throughout.
ResultOf<Bytes> TextAsUtf8(std::span<const std::uint8_t> gbk, const TextCharsets& charsets);

}  // namespace kestrel
