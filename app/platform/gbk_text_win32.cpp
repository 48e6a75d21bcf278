// GBK conversion through the system's code page 936 tables; the user's text
// is UTF-16. The code page is named explicitly, so the result is the same
// whatever the system's language for non-Unicode programs is.

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

#include "app/platform/gbk_text.h"

namespace kestrel {
namespace {

constexpr UINT kGbkCodePage = 936;

std::optional<int> CountFor(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    return static_cast<int>(size);
}

std::optional<std::wstring> Widen(std::string_view text, UINT codePage = kGbkCodePage) {
    const auto size = CountFor(text.size());
    if (!size) return std::nullopt;
    // MB_ERR_INVALID_CHARS: a byte sequence the code page does not define
    // fails the call instead of turning into a replacement character.
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), *size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), *size, wide.data(),
                              length) != length) {
        return std::nullopt;
    }
    return wide;
}

std::optional<std::string> Narrow(std::wstring_view text, UINT codePage = kGbkCodePage) {
    const auto size = CountFor(text.size());
    if (!size) return std::nullopt;
    // For GBK, WC_NO_BEST_FIT_CHARS keeps a character GBK lacks from becoming
    // a lookalike, and usedDefault tells when one became the default
    // character; UTF-8 holds every character and takes neither.
    const bool gbk = codePage == kGbkCodePage;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = gbk ? &usedDefault : nullptr;
    const DWORD flags = gbk ? WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), *size, nullptr, 0,
                                             nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), *size, narrow.data(), length, nullptr,
                              usedDefaultOut) != length ||
        usedDefault) {
        return std::nullopt;
    }
    return narrow;
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

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const std::optional<std::wstring> wide = Widen(utf8, CP_UTF8);
    if (!wide) return std::nullopt;
    return ToGbk(*wide);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    if (gbk.empty()) return std::string();
    const std::optional<std::wstring> wide = Widen(gbk);
    if (!wide) return std::nullopt;
    return Narrow(*wide, CP_UTF8);
}

}  // namespace kestrel
