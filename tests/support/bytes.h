#pragma once
// Byte helpers for tests: hex literals, concatenation, and draining what one
// end of a line has received so far.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel::test {

using Bytes = std::vector<std::uint8_t>;

// "57 51 58" -> {0x57, 0x51, 0x58}; spaces are optional between pairs.
Bytes Hex(std::string_view hex);
Bytes FromText(std::string_view text);
Bytes Concat(std::initializer_list<Bytes> parts);
std::string ToHex(const Bytes& bytes);

// Every byte already waiting on the port, without waiting for more.
Bytes Drain(Port& port);

}  // namespace kestrel::test
