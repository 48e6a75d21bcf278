#include "tests/support/image_codec.h"

#include <algorithm>
#include <numeric>
#include <random>

namespace kestrel::test {

Bytes RandomPermutationTable(std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes table;
    Bytes row(256);
    for (int r = 0; r < 256; ++r) {
        std::iota(row.begin(), row.end(), std::uint8_t{0});
        std::shuffle(row.begin(), row.end(), random);
        table.insert(table.end(), row.begin(), row.end());
    }
    return table;
}

Bytes EncodeApplicationImage(const Bytes& table, const PlainApplication& plain) {
    const std::size_t length = plain.keyHead.size();
    std::size_t j = 0;
    auto code = [&](std::uint8_t p) {
        const auto row =
            static_cast<std::uint8_t>(plain.keyHead[j % length] ^ plain.keyTail[j % length]);
        ++j;
        return table[std::size_t{row} * 256 + p];
    };
    Bytes image = Concat({{static_cast<std::uint8_t>(length)},
                          plain.keyHead,
                          {static_cast<std::uint8_t>(plain.kept.size() & 0xFF),
                           static_cast<std::uint8_t>(plain.kept.size() >> 8)}});
    for (const std::uint8_t p : plain.discarded) image.push_back(code(p));
    for (const std::uint8_t p : plain.kept) image.push_back(code(p));
    image.insert(image.end(), plain.keyTail.begin(), plain.keyTail.end());
    for (const std::uint8_t p : plain.tail) image.push_back(code(p));
    return image;
}

Bytes DecodedApplication(const PlainApplication& plain) {
    return Concat({plain.kept, plain.keyTail, plain.tail});
}

}  // namespace kestrel::test
