// Text files come from the PC (wrapping, re-heading) and from the handheld
// (unwrapping): any bytes must convert or be refused, a wrapped text must
// unwrap to itself, and a text whose header gives another length is refused.
#include "formats/text_file.h"
#include "fuzz/fuzz_targets.h"

namespace kestrel::fuzz {
namespace {

std::size_t TotalLength(Input bytes, std::size_t at) {
    std::size_t total = 0;
    for (std::size_t i = 4; i-- > 0;) total = total << 8U | bytes[at + i];
    return total;
}

void CheckWrapped(Input text, const ResultOf<Bytes>& wrapped) {
    if (text.empty()) {
        Require(!wrapped.IsOk(), "an empty text is refused");
        return;
    }
    Require(wrapped.IsOk(), "any text that is not empty wraps");
    const Input bytes(wrapped.Value());
    Require(bytes.size() == kTextHeaderSize + text.size(), "the header adds 24 bytes");
    for (std::size_t i = 0; i < kTextHeaderSize; ++i) {
        const bool lengthField = (i >= 10 && i < 14) || (i >= 19 && i < 23);
        Require(lengthField || bytes[i] == kTextHeader[i], "the header's fixed bytes");
    }
    for (const std::size_t at : kTotalLengthOffsets) {
        Require(TotalLength(bytes, at) == bytes.size(), "the header holds the total length");
    }
    const ResultOf<Bytes> unwrapped = UnwrapTextBytes(bytes);
    Require(unwrapped.IsOk() && SameBytes(unwrapped.Value(), text),
            "a wrapped text unwraps to itself");
}

}  // namespace

void FuzzTextFile(Input input) {
    CheckWrapped(input, WrapTextBytes(input));

    const ResultOf<Bytes> reheaded = RewrapTextBytes(input);
    if (input.size() <= kHeadedTextHeaderSize) {
        Require(!reheaded.IsOk(), "a headed text with no body is refused");
    } else {
        CheckWrapped(input.subspan(kHeadedTextHeaderSize), reheaded);
    }

    const ResultOf<Bytes> unwrapped = UnwrapTextBytes(input);
    if (input.size() < kTextHeaderSize ||
        TotalLength(input, kTotalLengthOffsets[0]) != input.size() ||
        TotalLength(input, kTotalLengthOffsets[1]) != input.size()) {
        Require(!unwrapped.IsOk(), "a text whose header does not give its length is refused");
    } else {
        Require(unwrapped.IsOk() && SameBytes(unwrapped.Value(), input.subspan(kTextHeaderSize)),
                "unwrapping drops exactly the header");
    }
}

}  // namespace kestrel::fuzz
