// The Windows console: texts go out as UTF-16 through WriteConsoleW, so they
// show whatever the console's code page is; redirected output is UTF-8.

#include <windows.h>  // also declares CommandLineToArgvW

#include <climits>
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/console.h"

namespace kestrel::cli {
namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int size = static_cast<int>(text.size());
    // No MB_ERR_INVALID_CHARS: a byte that is not in the code page shows as
    // the replacement character rather than losing the whole text.
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

// With WC_ERR_INVALID_CHARS a lone surrogate (possible in a Windows file
// name) fails instead of becoming U+FFFD and naming another file.
std::optional<std::string> Utf8(std::wstring_view wide, DWORD flags) {
    if (wide.empty()) return std::string();
    if (wide.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, flags, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// To the console as UTF-16 when the stream is one, else as UTF-8 bytes.
void Write(DWORD which, std::FILE* stream, std::wstring_view text) {
    std::fflush(stream);  // what stdio holds goes first
    const HANDLE handle = ::GetStdHandle(which);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = Utf8(text, 0).value_or(std::string());
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

struct LocalFreeWords {
    void operator()(wchar_t** words) const { ::LocalFree(words); }
};

}  // namespace

void PrintGbkLine(std::string_view gbkText) {
    Write(STD_OUTPUT_HANDLE, stdout, Widen(kGbkCodePage, gbkText) + L"\n");
}

void PrintGbkErrorLine(std::string_view gbkText) {
    Write(STD_ERROR_HANDLE, stderr, Widen(kGbkCodePage, gbkText) + L"\n");
}

bool StdoutIsTerminal() {
    DWORD mode = 0;
    const HANDLE handle = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

void PrintText(std::string_view utf8Text) {
    Write(STD_OUTPUT_HANDLE, stdout, Widen(CP_UTF8, utf8Text));
}

void PrintError(std::string_view utf8Message) {
    Write(STD_ERROR_HANDLE, stderr, L"kestrel-cli: " + Widen(CP_UTF8, utf8Message) + L"\n");
}

// argv holds the words in the system's narrow code page, which may lack
// characters of a file name; the UTF-16 command line has them all.
// FormatMessage speaks the system's language already.
void KeepRunningWhenOutputCloses() {
    // Nothing to do: a write to a closed pipe fails here, without a signal.
}

void UseTheUsersLocale() {
    std::setlocale(LC_CTYPE, "");
}

std::optional<std::vector<std::string>> CommandLineWords(int, char**) {
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreeWords> words(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!words) return std::nullopt;
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i) {
        auto word = Utf8(words.get()[i], WC_ERR_INVALID_CHARS);
        if (!word) return std::nullopt;
        utf8.push_back(std::move(*word));
    }
    return utf8;
}

}  // namespace kestrel::cli
