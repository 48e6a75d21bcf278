#include "tests/support/image_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace kestrel::test {

Bytes RandomPermutationTable(std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes table;
    table.reserve(256 * 256);
    Bytes row(256);
    for (int r = 0; r < 256; ++r) {
        std::iota(row.begin(), row.end(), std::uint8_t{0});
        std::shuffle(row.begin(), row.end(), random);
        table.insert(table.end(), row.begin(), row.end());
    }
    return table;
}

Bytes EncodeApplicationImage(const Bytes& table, const PlainApplication& plain) {
    EXPECT_EQ(plain.keyHead.size(), plain.keyTail.size()) << "key halves differ in length";
    EXPECT_FALSE(plain.keyHead.empty()) << "the encoder needs a key";
    const std::size_t length = plain.keyHead.size();
    std::size_t j = 0;
    auto code = [&](std::uint8_t p) {
        const auto row =
            static_cast<std::uint8_t>(plain.keyHead[j % length] ^ plain.keyTail[j % length]);
        ++j;
        return table[std::size_t{row} * 256 + p];
    };
    Bytes image;
    image.push_back(static_cast<std::uint8_t>(length));
    image.insert(image.end(), plain.keyHead.begin(), plain.keyHead.end());
    image.push_back(static_cast<std::uint8_t>(plain.kept.size() & 0xFF));
    image.push_back(static_cast<std::uint8_t>((plain.kept.size() >> 8) & 0xFF));
    for (const std::uint8_t p : plain.discarded) image.push_back(code(p));
    for (const std::uint8_t p : plain.kept) image.push_back(code(p));
    image.insert(image.end(), plain.keyTail.begin(), plain.keyTail.end());
    for (const std::uint8_t p : plain.tail) image.push_back(code(p));
    return image;
}

Bytes DecodedApplication(const PlainApplication& plain) {
    Bytes out = plain.kept;
    out.insert(out.end(), plain.keyTail.begin(), plain.keyTail.end());
    out.insert(out.end(), plain.tail.begin(), plain.tail.end());
    return out;
}

std::uint8_t ColumnOf(const Bytes& table, std::uint8_t row, std::uint8_t value) {
    const auto begin = table.begin() + std::size_t{row} * 256;
    const auto found = std::find(begin, begin + 256, value);
    EXPECT_NE(found, begin + 256) << "row " << int{row} << " lacks " << int{value};
    return static_cast<std::uint8_t>(found - begin);
}

}  // namespace kestrel::test
