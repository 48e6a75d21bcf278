#pragma once
// Opening a serial device by name, per platform. On POSIX a name is a device
// path, and "COM1" to "COM4" (in any case) stand for /dev/ttyS0 to
// /dev/ttyS3; on Windows it is a COM port name, in any case. The port is
// opened for exclusive use and set to
// 115200 baud, 8 data bits, no parity, 1 stop bit, raw, no flow control; the
// settings found are put back when the port is destroyed.
//
// A port that cannot be opened fails with "无法打开串口%s!" (the name as
// given), the program's words for why when it has any (busy, missing, no
// permission and how to get it), and the OS's own error.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel {

ResultOf<std::unique_ptr<Port>> OpenSerialPort(std::string_view name);

// The device path a port name stands for on this platform.
std::string SerialDevicePath(std::string_view name);

// Serial ports present on this machine, by the names OpenSerialPort takes.
std::vector<std::string> ListSerialPorts();

}  // namespace kestrel
