#pragma once
// Application images for tests: random substitution tables (each row a
// permutation, reproducible from a seed) and an encoder that codes a plain
// application the way images are coded, so decoding is checked against the
// plain bytes.

#include "tests/support/bytes.h"

namespace kestrel::test {

Bytes RandomPermutationTable(std::uint32_t seed);  // 65,536 bytes

struct PlainApplication {
    Bytes keyHead;  // keyTail has the same length
    Bytes keyTail;
    Bytes discarded = Bytes(78, 0);  // the front of the body that decoding drops
    Bytes kept;
    Bytes tail;
};

// keyLength, keyHead, keptLength LE, coded(discarded + kept), keyTail,
// coded(tail); byte j coded with row keyHead[j % L] ^ keyTail[j % L].
Bytes EncodeApplicationImage(const Bytes& table, const PlainApplication& plain);
// What decoding must give: kept, keyTail, tail.
Bytes DecodedApplication(const PlainApplication& plain);

}  // namespace kestrel::test
