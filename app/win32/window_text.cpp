#include "app/win32/window_text.h"

#include <optional>

#include "app/core/gbk_text.h"

namespace kestrel {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring ShownText(std::string_view gbk) {
    if (std::optional<std::wstring> exact = FromGbk(gbk)) return std::move(*exact);
    // Not GBK throughout (a name from a foreign package, say): show what can be.
    const int size = static_cast<int>(gbk.size());
    const int length = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), size, text.data(), length);
    return text;
}

}  // namespace kestrel
