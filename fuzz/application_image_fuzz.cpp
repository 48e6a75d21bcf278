// An application image is a PC file: its key length and kept length come
// from the file, so decoding must check them against the bytes that are
// really there, and what it decodes must code back to the image.
#include <vector>

#include "formats/application_image.h"
#include "fuzz/fuzz_targets.h"
#include "text/texts.h"

namespace kestrel::fuzz {
namespace {

// A fixed table: row r maps column c to c * (2r + 1) + 37r, a permutation
// of the byte values since the factor is odd.
const SubstitutionTable& FixedTable() {
    static const SubstitutionTable table = [] {
        std::vector<std::uint8_t> bytes(SubstitutionTable::kSize);
        for (std::size_t row = 0; row < SubstitutionTable::kRowLength; ++row) {
            for (std::size_t column = 0; column < SubstitutionTable::kRowLength; ++column) {
                bytes[row * SubstitutionTable::kRowLength + column] =
                    static_cast<std::uint8_t>(column * (2 * row + 1) + 37 * row);
            }
        }
        return *SubstitutionTable::FromBytes(bytes);
    }();
    return table;
}

// Codes the decoded bytes again and compares them with the image.
void CheckAgainstImage(Input image, const std::vector<std::uint8_t>& decoded) {
    const std::size_t keyLength = image[0];
    const std::size_t kept = image[1 + keyLength] | (std::size_t{image[2 + keyLength]} << 8U);
    const std::size_t bodyStart = 3 + keyLength;
    const std::size_t keyTailStart = bodyStart + kDiscardedBodyLength + kept;
    Require(decoded.size() == image.size() - 81 - keyLength, "decoding drops 81 + L bytes");
    Require(
        SameBytes(image.subspan(keyTailStart, keyLength), Input(decoded).subspan(kept, keyLength)),
        "keyTail is copied unchanged after the body");

    const SubstitutionTable& table = FixedTable();
    auto row = [&](std::size_t j) {
        return static_cast<std::uint8_t>(image[1 + j % keyLength] ^
                                         image[keyTailStart + j % keyLength]);
    };
    for (std::size_t i = 0; i < kept; ++i) {
        const std::size_t j = kDiscardedBodyLength + i;
        Require(table.Lookup(row(j), decoded[i]) == image[bodyStart + j],
                "body decodes by its row");
    }
    const std::size_t tailStart = keyTailStart + keyLength;
    for (std::size_t i = 0; tailStart + i < image.size(); ++i) {
        const std::size_t j = kDiscardedBodyLength + kept + i;
        Require(table.Lookup(row(j), decoded[kept + keyLength + i]) == image[tailStart + i],
                "the key runs on from the body into the tail");
    }
}

}  // namespace

void FuzzApplicationImage(Input input) {
    const ResultOf<Bytes> result = DecodeApplicationImage(input, FixedTable());
    if (!result.IsOk()) {
        Require(
            result.Reason() == texts::kBadKeyLength || result.Reason() == texts::kTruncatedImage,
            "a refusal says why");
        return;
    }
    Require(input[0] >= 1 && input[0] <= kMaxKeyLength, "the key length is 1 to 30");
    CheckAgainstImage(input, result.Value());
}

}  // namespace kestrel::fuzz
