// GBK conversion through the system's code page 936 tables; the user's text
// is UTF-16. The code page is named explicitly, so the result is the same
// whatever the system's language for non-Unicode programs is.

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

#include "app/gbk_text.h"

namespace kestrel {
namespace {

constexpr UINT kGbkCodePage = 936;

std::optional<int> CountFor(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    return static_cast<int>(size);
}

std::optional<std::wstring> Widen(std::string_view gbk) {
    const auto size = CountFor(gbk.size());
    if (!size) return std::nullopt;
    // MB_ERR_INVALID_CHARS: a byte sequence GBK does not define fails the
    // call instead of turning into a replacement character.
    const int length =
        ::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), *size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), *size, wide.data(),
                              length) != length) {
        return std::nullopt;
    }
    return wide;
}

std::optional<std::string> Narrow(std::wstring_view text) {
    const auto size = CountFor(text.size());
    if (!size) return std::nullopt;
    // WC_NO_BEST_FIT_CHARS keeps a character GBK lacks from becoming a
    // lookalike; usedDefault tells when one became the default character.
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), *size,
                                             nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string gbk(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), *size, gbk.data(),
                              length, nullptr, &usedDefault) != length ||
        usedDefault) {
        return std::nullopt;
    }
    return gbk;
}

}  // namespace

std::optional<std::string> ToGbk(UserTextView text) {
    if (text.empty()) return std::string();
    std::optional<std::string> gbk = Narrow(text);
    // Some systems' tables map a few characters one way only; a text that
    // does not come back as it was would reach the handheld changed.
    if (!gbk || Widen(*gbk) != std::wstring(text)) return std::nullopt;
    return gbk;
}

std::optional<UserText> FromGbk(std::string_view gbk) {
    if (gbk.empty()) return UserText();
    return Widen(gbk);
}

}  // namespace kestrel
