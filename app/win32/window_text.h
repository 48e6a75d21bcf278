#pragma once
// Reading and writing the texts of windows and dialog items as UTF-16, and
// showing GBK texts from the core in them.
//
// Promises:
// - Texts of any length are read whole.
// - ShownText never fails: bytes that are not GBK show as the platform's
//   replacement character instead of losing the whole text.

#include <windows.h>

#include <string>
#include <string_view>

namespace kestrel {

std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);

std::wstring ShownText(std::string_view gbk);

}  // namespace kestrel
