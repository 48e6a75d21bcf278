#pragma once
// The formatted status texts of the transfers, as GBK; the plain ones are
// the table's (text/texts.h), included here for the transfers' callers.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace kestrel::texts {

// "%5dk": whole kilobytes, right-aligned in five places.
std::string Kilobytes(std::uint64_t bytes);
// 下载%s
std::string Downloading(std::string_view deviceName);
// 在%s上找到了文曲星
std::string FoundOn(std::string_view portName);
// 无法打开串口%s! followed by why, when known.
std::string CannotOpenPort(std::string_view portName, std::string_view reason);

}  // namespace kestrel::texts
