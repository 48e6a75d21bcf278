// Placeholder until the termios backend lands.
#include "link/open_port.h"

namespace kestrel {
OpenedPort OpenSerialPort(std::string_view) { return {nullptr, {}}; }
std::string SerialDevicePath(std::string_view name) { return std::string(name); }
std::vector<std::string> ListSerialPorts() { return {}; }
}  // namespace kestrel
