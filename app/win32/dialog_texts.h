#pragma once
// The dialog's own texts outside the resource, as GBK bytes (the UTF-8 text
// stands above each); shown through FromGbk like every other device text.

#include <string_view>

namespace kestrel::texts {

// 打开电脑文件
inline constexpr std::string_view kPickerTitle = "\xB4\xF2\xBF\xAA\xB5\xE7\xC4\xD4\xCE\xC4\xBC\xFE";
// 所有文件 (*.*)
inline constexpr std::string_view kAllFiles = "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE (*.*)";

}  // namespace kestrel::texts
