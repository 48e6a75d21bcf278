// GBK conversion in the browser, whose C library has no GBK: decoding
// through the page's TextDecoder("gbk"), encoding through the table made
// from it once. The user's text is UTF-8.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/gbk_text.h"

namespace kestrel {
namespace {

// clang-format off
// Returns malloc'd bytes (their count before them, 4 bytes) or null when the
// text does not convert whole.
EM_JS(std::uint8_t*, KestrelConvert, (int toGbk, const char* text, std::size_t size), {
    const decoder = new TextDecoder(toGbk ? "utf-8" : "gbk", { fatal: true });
    let out;
    try {
        const decoded = decoder.decode(HEAPU8.subarray(text, text + size));
        out = toGbk ? Module["gbkEncode"](decoded) : new TextEncoder().encode(decoded);
    } catch (e) {
        return 0;
    }
    if (!out) return 0;
    const at = _malloc(out.length + 4);
    HEAPU32[at >> 2] = out.length;
    HEAPU8.set(out, at + 4);
    return at;
});
// clang-format on

std::optional<std::string> Convert(std::string_view text, bool toGbk) {
    if (text.empty()) return std::string();
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> out(
        KestrelConvert(toGbk ? 1 : 0, text.data(), text.size()), &std::free);
    if (!out) return std::nullopt;
    std::uint32_t size = 0;
    std::memcpy(&size, out.get(), sizeof size);
    return std::string(reinterpret_cast<const char*>(out.get()) + 4, size);
}

}  // namespace

std::optional<std::string> ToGbk(UserTextView text) {
    return Convert(text, true);
}

std::optional<UserText> FromGbk(std::string_view gbk) {
    return Convert(gbk, false);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return ToGbk(utf8);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return FromGbk(gbk);
}

}  // namespace kestrel
