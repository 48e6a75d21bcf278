#include "formats/text_file.h"

#include <algorithm>
#include <limits>
#include <new>

#include "formats/whole_file.h"
#include "text/texts.h"

namespace kestrel {
namespace {

void StoreLittleEndian32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

ConversionResult WrapTextBytes(std::span<const std::uint8_t> text) {
    if (text.empty()) return ConversionFailure(texts::kEmptyText);
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - kTextHeaderSize) {
        return ConversionFailure(texts::kFileTooLarge);
    }
    ConversionResult result;
    result.bytes.resize(kTextHeaderSize + text.size());
    std::copy(kTextHeader.begin(), kTextHeader.end(), result.bytes.begin());
    const auto totalLength = static_cast<std::uint32_t>(result.bytes.size());
    for (const std::size_t offset : kTotalLengthOffsets) {
        StoreLittleEndian32(result.bytes.data() + offset, totalLength);
    }
    std::copy(text.begin(), text.end(), result.bytes.begin() + kTextHeaderSize);
    return result;
}

ConversionResult RewrapTextBytes(std::span<const std::uint8_t> headedText) {
    if (headedText.size() <= kHeadedTextHeaderSize) return ConversionFailure(texts::kNoTextBody);
    return WrapTextBytes(headedText.subspan(kHeadedTextHeaderSize));
}

ConversionResult UnwrapTextBytes(std::span<const std::uint8_t> handheldText) {
    if (handheldText.size() < kTextHeaderSize) {
        return ConversionFailure(texts::kReceivedTextTooShort);
    }
    const auto text = handheldText.subspan(kTextHeaderSize);
    return {{text.begin(), text.end()}, {}};
}

Result UnwrapText(const std::filesystem::path& sourcePath, const std::filesystem::path& targetPath,
                  const TextCharsets* asUtf8) {
    std::string failure;
    try {
        const ConversionResult received = ReadWholeFile(sourcePath);
        ConversionResult text = received.Ok() ? UnwrapTextBytes(received.bytes)
                                              : ConversionFailure(texts::kCannotReadReceived);
        if (text.Ok() && asUtf8 != nullptr) text = TextAsUtf8(text.bytes, *asUtf8);
        failure = text.Ok() ? std::string(ReplaceFileWhole(targetPath, text.bytes)) : text.failure;
    } catch (const std::bad_alloc&) {
        failure = texts::kNoMemory;
    }
    if (failure.empty()) return Result::Ok();
    return Result::Failed(failure);
}

}  // namespace kestrel
