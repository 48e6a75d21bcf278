#pragma once
// Byte helpers: hex literals, concatenation, and what a port holds right now;
// and Must(), the value of a step a test cannot go on without.

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iostream>
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
Bytes Drain(Port& port);  // every byte already waiting, without waiting for more
Bytes Pattern(std::size_t size, std::uint8_t seed);  // bytes that differ from their neighbours
Bytes Le32(std::uint32_t value);

// The value, or the test program stops there with the failure's reason (as
// GBK bytes): nothing after it could mean anything.
template <typename T>
T Must(ResultOf<T> result) {
    if (!result.IsOk()) {
        std::cerr << "a step the test needs failed: " << result.Reason() << std::endl;
        std::abort();
    }
    return std::move(result).Value();
}

}  // namespace kestrel::test
