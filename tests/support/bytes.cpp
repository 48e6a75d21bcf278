#include "tests/support/bytes.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kestrel::test {

Bytes Hex(std::string_view hex) {
    Bytes out;
    int high = -1;
    for (char c : hex) {
        if (c == ' ' || c == '\n') continue;
        int value = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        EXPECT_GE(value, 0) << "bad hex character " << c;
        if (high < 0) {
            high = value;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    EXPECT_EQ(high, -1) << "odd number of hex digits in " << hex;
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
    while (port.Read({&byte, 1}, std::chrono::milliseconds(0)) == IoStatus::ok) out.push_back(byte);
    return out;
}

}  // namespace kestrel::test
