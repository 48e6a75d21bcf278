#include "formats/application_image.h"

#include <array>
#include <string>

#include "text/texts.h"

namespace kestrel {
namespace {

struct ImageLayout {
    std::size_t keyLength = 0;
    std::size_t bodyStart = 0;   // offset of codedBody
    std::size_t bodyLength = 0;  // N
    std::size_t keyTailStart = 0;
    std::size_t codedTailStart = 0;
};

// Empty on success; checked in the order the fields are met, so no offset is
// read before the image is known to hold it.
std::string_view ReadLayout(std::span<const std::uint8_t> image, ImageLayout& layout) {
    if (image.empty()) return texts::kTruncatedImage;
    layout.keyLength = image[0];
    if (layout.keyLength == 0 || layout.keyLength > kMaxKeyLength) return texts::kBadKeyLength;
    layout.bodyStart = 3 + layout.keyLength;
    if (image.size() < layout.bodyStart) return texts::kTruncatedImage;
    const std::size_t kept =
        image[1 + layout.keyLength] | (std::size_t{image[2 + layout.keyLength]} << 8);
    layout.bodyLength = kept + kDiscardedBodyLength;
    layout.keyTailStart = layout.bodyStart + layout.bodyLength;
    layout.codedTailStart = layout.keyTailStart + layout.keyLength;
    if (image.size() < layout.codedTailStart) return texts::kTruncatedImage;
    return {};
}

// The table's decoding rows for each key position, copied out so that the
// loop reads them from a few kilobytes of its own.
using DecodingRows =
    std::array<std::array<std::uint8_t, SubstitutionTable::kRowLength>, kMaxKeyLength>;

// Decodes coded into out, the first byte at key position `position`; returns
// the position after the last byte. Whole rounds of the key go in a loop of
// their own, which leaves the position out of the inner loop's work.
std::size_t DecodeRun(std::span<const std::uint8_t> coded, std::uint8_t* out,
                      const DecodingRows& rows, std::size_t length, std::size_t position) {
    auto next = [length](std::size_t at) { return at + 1 == length ? 0 : at + 1; };
    std::size_t i = 0;
    for (; i < coded.size() && position != 0; ++i, position = next(position)) {
        out[i] = rows[position][coded[i]];
    }
    for (; coded.size() - i >= length; i += length) {
        for (std::size_t k = 0; k < length; ++k) out[i + k] = rows[k][coded[i + k]];
    }
    for (; i < coded.size(); ++i, position = next(position)) out[i] = rows[position][coded[i]];
    return position;
}

}  // namespace

ConversionResult DecodeApplicationImage(std::span<const std::uint8_t> image,
                                        const SubstitutionTable& table) {
    ImageLayout layout;
    const std::string_view failure = ReadLayout(image, layout);
    if (!failure.empty()) return ConversionFailure(failure);

    const std::size_t length = layout.keyLength;
    DecodingRows rows;
    for (std::size_t i = 0; i < length; ++i) {
        const auto row = static_cast<std::uint8_t>(image[1 + i] ^ image[layout.keyTailStart + i]);
        for (std::size_t value = 0; value < SubstitutionTable::kRowLength; ++value) {
            rows[i][value] = table.InverseLookup(row, static_cast<std::uint8_t>(value));
        }
    }
    const auto kept = image.subspan(layout.bodyStart + kDiscardedBodyLength,
                                    layout.bodyLength - kDiscardedBodyLength);
    const auto keyTail = image.subspan(layout.keyTailStart, length);
    const auto codedTail = image.subspan(layout.codedTailStart);

    ConversionResult result;
    result.bytes.resize(kept.size() + length + codedTail.size());
    std::uint8_t* out = result.bytes.data();
    // The key position runs on from codedBody into codedTail without
    // restarting; the dropped front of the body only moves it on.
    std::size_t position = kDiscardedBodyLength % length;
    position = DecodeRun(kept, out, rows, length, position);
    std::copy(keyTail.begin(), keyTail.end(), out + kept.size());
    DecodeRun(codedTail, out + kept.size() + length, rows, length, position);
    return result;
}

// The table's own name is plain ASCII, which GBK shares; a folder is made
// GBK when it can be, else shown with "?" for each character GBK lacks.
std::string MissingTableText(const std::filesystem::path& missingTable, const Charset& toGbk) {
    const std::filesystem::path name = missingTable.empty()
                                           ? std::filesystem::path(kSubstitutionTableFileName)
                                           : missingTable.filename();
    std::string text(texts::kNoTablePrefix);
    text += name.string();
    const std::u8string folder = missingTable.parent_path().u8string();
    if (folder.empty()) return text;
    const std::string utf8(folder.begin(), folder.end());
    std::optional<std::string> shown = toGbk ? toGbk(utf8) : std::nullopt;
    if (!shown) {
        shown.emplace();
        for (const char8_t unit : folder) {
            if (unit < 0x80) *shown += static_cast<char>(unit);
            if (unit >= 0xC0) *shown += '?';  // one per character, not per byte
        }
    }
    return text + std::string(texts::kPutTableIn) + *shown + std::string(texts::kPutTableInEnd);
}

}  // namespace kestrel
