#pragma once
// Test doubles for application images: random substitution tables (every row
// a permutation of 0..255, reproducible from a seed) and an encoder that codes
// a plain application the way images are coded, so decoding can be checked
// against the plain bytes. The handheld's own table is not known here.

#include <cstdint>
#include <vector>

namespace kestrel::test {

using Bytes = std::vector<std::uint8_t>;

// 65,536 bytes: 256 rows, each a random permutation of 0..255.
Bytes RandomPermutationTable(std::uint32_t seed);

// What an image holds before coding. keyHead and keyTail have the same length
// (normally 1..30); discarded is the 78-byte front of codedBody that decoding
// drops; kept is the rest of the body (its length becomes keptLength).
struct PlainApplication {
    Bytes keyHead;
    Bytes keyTail;
    Bytes discarded = Bytes(78, 0);
    Bytes kept;
    Bytes tail;
};

// keyLength, keyHead, keptLength, coded(discarded + kept), keyTail, coded(tail),
// coding byte j with row keyHead[j % L] ^ keyTail[j % L] of table.
Bytes EncodeApplicationImage(const Bytes& table, const PlainApplication& plain);

// What decoding the encoded image must give: kept, keyTail, tail.
Bytes DecodedApplication(const PlainApplication& plain);

// A column search of one table row, independent of the code under test.
std::uint8_t ColumnOf(const Bytes& table, std::uint8_t row, std::uint8_t value);

}  // namespace kestrel::test
