#pragma once
// Byte helpers: hex literals, concatenation, and what a port holds right now.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel::test {

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(std::string_view hex);  // "57 51 58" -> {0x57, 0x51, 0x58}; spaces optional
Bytes FromText(std::string_view text);
Bytes Concat(std::initializer_list<Bytes> parts);
std::string ToHex(const Bytes& bytes);
Bytes Drain(Port& port);
Bytes Pattern(std::size_t size, std::uint8_t seed);  // bytes that differ from their neighbours
Bytes Le32(std::uint32_t value);  // every byte already waiting, without waiting for more

}  // namespace kestrel::test
