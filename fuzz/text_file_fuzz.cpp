// Text files come from the PC (wrapping, re-heading) and from the handheld
// (unwrapping): any bytes must convert or be refused, and a wrapped text must
// unwrap to itself.
#include "formats/text_file.h"
#include "fuzz/fuzz_targets.h"

namespace kestrel::fuzz {
namespace {

void CheckWrapped(Input text, const ConversionResult& wrapped) {
    if (text.empty()) {
        Require(!wrapped.Ok(), "an empty text is refused");
        return;
    }
    Require(wrapped.Ok(), "any text that is not empty wraps");
    const Input bytes(wrapped.bytes);
    Require(bytes.size() == kTextHeaderSize + text.size(), "the header adds 24 bytes");
    for (std::size_t i = 0; i < kTextHeaderSize; ++i) {
        const bool lengthField = (i >= 10 && i < 14) || (i >= 19 && i < 23);
        Require(lengthField || bytes[i] == kTextHeader[i], "the header's fixed bytes");
    }
    for (const std::size_t at : kTotalLengthOffsets) {
        std::size_t total = 0;
        for (std::size_t i = 4; i-- > 0;) total = total << 8U | bytes[at + i];
        Require(total == bytes.size(), "the header holds the total length");
    }
    const ConversionResult unwrapped = UnwrapTextBytes(bytes);
    Require(unwrapped.Ok() && SameBytes(unwrapped.bytes, text), "a wrapped text unwraps to itself");
}

}  // namespace

void FuzzTextFile(Input input) {
    CheckWrapped(input, WrapTextBytes(input));

    const ConversionResult reheaded = RewrapTextBytes(input);
    if (input.size() <= kHeadedTextHeaderSize) {
        Require(!reheaded.Ok(), "a headed text with no body is refused");
    } else {
        CheckWrapped(input.subspan(kHeadedTextHeaderSize), reheaded);
    }

    const ConversionResult unwrapped = UnwrapTextBytes(input);
    if (input.size() < kTextHeaderSize) {
        Require(!unwrapped.Ok() && unwrapped.bytes.empty(),
                "a text shorter than its header is refused");
    } else {
        Require(unwrapped.Ok() && SameBytes(unwrapped.bytes, input.subspan(kTextHeaderSize)),
                "unwrapping drops exactly the header");
    }
}

}  // namespace kestrel::fuzz
