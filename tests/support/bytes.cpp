#include "tests/support/bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace kestrel::test {

Bytes Hex(std::string_view hex) {
    Bytes out;
    std::istringstream words{std::string(hex)};
    for (std::string word; words >> word;) {
        EXPECT_EQ(word.size() % 2, 0U) << "odd number of hex digits in " << hex;
        for (std::size_t at = 0; at + 1 < word.size(); at += 2) {
            out.push_back(static_cast<std::uint8_t>(std::stoul(word.substr(at, 2), nullptr, 16)));
        }
    }
    return out;
}

Bytes FromText(std::string_view text) {
    return {text.begin(), text.end()};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::string ToHex(const Bytes& bytes) {
    std::string out;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", b);
        out += buffer;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

Bytes Drain(Port& port) {
    Bytes out;
    std::uint8_t byte = 0;
    while (port.Read({&byte, 1}, std::chrono::milliseconds(0)).IsOk()) out.push_back(byte);
    return out;
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    return bytes;
}

Bytes Le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace kestrel::test
