// Windows: the error is GetLastError(), its words FormatMessageW's in the
// system's language; the C++ runtime's own message may be empty or in the
// ANSI code page, so it is not used.

#include <windows.h>

#include <memory>
#include <string_view>

#include "status/system_words.h"
#include "text/gbk.h"

namespace kestrel {
namespace {

struct LocalFreer {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

std::error_code LastSystemError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

std::optional<std::string> SystemCategoryWords(int code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreer> owned(buffer);
    if (length == 0 || !buffer) return std::nullopt;
    std::wstring_view words(buffer, length);
    // The message ends its line; the status line has one.
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) {
        words.remove_suffix(1);
    }
    return gbk::FromUserText(words);
}

}  // namespace kestrel
