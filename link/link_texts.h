#pragma once
// The link's formatted texts, as GBK; the plain ones are the table's
// (text/texts.h).

#include <string>
#include <string_view>

#include "text/texts.h"

namespace kestrel::texts {

// A port's name as given (UTF-8, as the command line and the port list
// have it) in GBK; kept byte for byte when it is not UTF-8 or GBK cannot
// hold it (a device path is ASCII).
std::string PortName(std::string_view name);

// 无法打开串口%s! with the port's name in GBK (PortName() of a serial port's).
std::string CannotOpenPort(std::string_view gbkPortName);

}  // namespace kestrel::texts
