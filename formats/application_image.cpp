#include "formats/application_image.h"

#include <array>
#include <string>

#include "formats/format_texts.h"
#include "formats/staging.h"

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

// The table's own name is plain ASCII, which GBK shares; anything else in a
// caller's name is shown as "?" rather than as stray bytes.
std::string MissingTableText(const std::filesystem::path& missingTableName) {
    const std::filesystem::path name = missingTableName.empty()
                                           ? std::filesystem::path(kSubstitutionTableFileName)
                                           : missingTableName.filename();
    std::string text(texts::kNoTablePrefix);
    for (const char8_t unit : name.u8string()) {
        if (unit < 0x80) text += static_cast<char>(unit);
        if (unit >= 0xC0) text += '?';  // one per character, not per byte
    }
    return text;
}

}  // namespace

ConversionResult DecodeApplicationImage(std::span<const std::uint8_t> image,
                                        const SubstitutionTable& table) {
    ImageLayout layout;
    const std::string_view failure = ReadLayout(image, layout);
    if (!failure.empty()) return ConversionFailure(failure);

    const std::size_t length = layout.keyLength;
    std::array<std::uint8_t, kMaxKeyLength> rowKey{};
    for (std::size_t i = 0; i < length; ++i) {
        rowKey[i] = static_cast<std::uint8_t>(image[1 + i] ^ image[layout.keyTailStart + i]);
    }
    const auto body = image.subspan(layout.bodyStart, layout.bodyLength);
    const auto keyTail = image.subspan(layout.keyTailStart, length);
    const auto codedTail = image.subspan(layout.codedTailStart);

    // The key index runs on from codedBody into codedTail without restarting.
    std::size_t keyIndex = 0;
    auto decode = [&](std::uint8_t coded) {
        const std::uint8_t plain = table.InverseLookup(rowKey[keyIndex], coded);
        keyIndex = keyIndex + 1 == length ? 0 : keyIndex + 1;
        return plain;
    };
    ConversionResult result;
    result.bytes.reserve(body.size() - kDiscardedBodyLength + length + codedTail.size());
    for (const std::uint8_t coded : body.first(kDiscardedBodyLength)) decode(coded);
    for (const std::uint8_t coded : body.subspan(kDiscardedBodyLength)) {
        result.bytes.push_back(decode(coded));
    }
    result.bytes.insert(result.bytes.end(), keyTail.begin(), keyTail.end());
    for (const std::uint8_t coded : codedTail) result.bytes.push_back(decode(coded));
    return result;
}

bool DecodeApplication(std::filesystem::path& pcPath, FormatContext& context) {
    if (context.table == nullptr) {
        context.status.ShowStatus(MissingTableText(context.missingTableName));
        return false;
    }
    const SubstitutionTable& table = *context.table;
    return StageConversion(pcPath, context, [&table](std::span<const std::uint8_t> image) {
        return DecodeApplicationImage(image, table);
    });
}

}  // namespace kestrel
