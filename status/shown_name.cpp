#include "status/shown_name.h"

#include <cstdint>
#include <optional>

#include "text/gbk.h"
#include "text/utf8.h"

namespace kestrel {
namespace {

// How many units the character at `at` takes: UTF-8 on POSIX, UTF-16 on
// Windows; 1 for a unit that starts no character.
std::size_t CharacterUnits(UserTextView text, std::size_t at) {
    if constexpr (sizeof(UserTextView::value_type) == 1) {
        const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size());
        const std::size_t length = utf8::CharacterAt(bytes, at).length;
        return length == 0 ? 1 : length;
    } else {
        const auto unit = static_cast<std::uint32_t>(text[at]);
        const bool pair = (unit & 0xFC00U) == 0xD800U && at + 1 < text.size() &&
                          (static_cast<std::uint32_t>(text[at + 1]) & 0xFC00U) == 0xDC00U;
        return pair ? 2 : 1;
    }
}

std::string Shown(UserTextView text) {
    if (std::optional<std::string> whole = gbk::FromUserText(text)) return *std::move(whole);
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t units = CharacterUnits(text, at);
        shown += gbk::FromUserText(text.substr(at, units)).value_or("?");
        at += units;
    }
    return shown;
}

}  // namespace

std::string ShownName(const std::filesystem::path& file) {
    const std::filesystem::path name = file.filename();
    // "/" or "C:\" has no file name of its own.
    return Shown(name.empty() ? file.native() : name.native());
}

std::string ShownPath(const std::filesystem::path& folder) {
    return Shown(folder.native());
}

}  // namespace kestrel
