#include "app/win32/gbk_limit.h"

#include <algorithm>

#include "app/platform/gbk_text.h"

namespace kestrel {
namespace {

constexpr std::size_t kUnholdableLength = 2;

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The number of UTF-16 units of the character that starts at `at`.
std::size_t UnitsAt(std::wstring_view text, std::size_t at) {
    const bool pair =
        IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
    return pair ? 2 : 1;
}

// The number of UTF-16 units of the character that ends just before `end`.
std::size_t UnitsBefore(std::wstring_view text, std::size_t end) {
    const bool pair = end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2]);
    return pair ? 2 : 1;
}

std::size_t CharacterLength(std::wstring_view character) {
    if (character.size() == 1 && character[0] < 0x80) return 1;
    const std::optional<std::string> gbk = ToGbk(character);
    return gbk ? gbk->size() : kUnholdableLength;
}

}  // namespace

std::size_t GbkLength(std::wstring_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t units = UnitsAt(text, at);
        length += CharacterLength(text.substr(at, units));
        at += units;
    }
    return length;
}

BoxEdit FitGbkLimit(std::wstring text, std::size_t caret, std::size_t maxBytes) {
    caret = std::min(caret, text.size());
    std::size_t length = GbkLength(text);
    while (length > maxBytes && !text.empty()) {
        const std::size_t end = caret > 0 ? caret : text.size();
        const std::size_t units = UnitsBefore(text, end);
        const std::size_t start = end - units;
        length -= CharacterLength(std::wstring_view(text).substr(start, units));
        text.erase(start, units);
        if (caret > 0) caret = start;
    }
    return BoxEdit{std::move(text), caret};
}

}  // namespace kestrel
