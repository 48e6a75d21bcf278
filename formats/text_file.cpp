#include "formats/text_file.h"

#include <algorithm>
#include <limits>

#include "formats/whole_file.h"
#include "status/shown_name.h"
#include "text/texts.h"

namespace kestrel {
namespace {

void StoreLittleEndian32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint64_t LoadLittleEndian32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8U) | at[i];
    return value;
}

}  // namespace

ResultOf<Bytes> WrapTextBytes(std::span<const std::uint8_t> text) {
    if (text.empty()) return Result::Failed(texts::kEmptyText);
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - kTextHeaderSize) {
        return Result::Failed(texts::kFileTooLarge);
    }
    Bytes wrapped(kTextHeaderSize + text.size());
    std::copy(kTextHeader.begin(), kTextHeader.end(), wrapped.begin());
    const auto totalLength = static_cast<std::uint32_t>(wrapped.size());
    for (const std::size_t offset : kTotalLengthOffsets) {
        StoreLittleEndian32(wrapped.data() + offset, totalLength);
    }
    std::copy(text.begin(), text.end(), wrapped.begin() + kTextHeaderSize);
    return wrapped;
}

ResultOf<Bytes> RewrapTextBytes(std::span<const std::uint8_t> headedText) {
    if (headedText.size() <= kHeadedTextHeaderSize) return Result::Failed(texts::kNoTextBody);
    return WrapTextBytes(headedText.subspan(kHeadedTextHeaderSize));
}

ResultOf<Bytes> UnwrapTextBytes(std::span<const std::uint8_t> handheldText) {
    if (handheldText.size() < kTextHeaderSize) return Result::Failed(texts::kReceivedTextTooShort);
    // The handheld's own texts say their length twice; a file cut on its
    // way, or no text at all, does not match it.
    for (const std::size_t offset : kTotalLengthOffsets) {
        if (LoadLittleEndian32(handheldText.data() + offset) != handheldText.size()) {
            return Result::Failed(texts::kReceivedTextTooShort);
        }
    }
    const auto text = handheldText.subspan(kTextHeaderSize);
    return Bytes(text.begin(), text.end());
}

Result UnwrapText(const std::filesystem::path& sourcePath, const std::filesystem::path& targetPath,
                  const TextCharsets* asUtf8) {
    const std::string target = ShownName(targetPath);
    ResultOf<Bytes> received = ReadWholeFile(sourcePath);
    if (!received.IsOk()) return std::move(received).Failure();
    ResultOf<Bytes> text = UnwrapTextBytes(received.Value());
    if (text.IsOk() && asUtf8 != nullptr) text = TextAsUtf8(text.Value(), *asUtf8);
    if (!text.IsOk()) return std::move(text).Failure().About(target);
    return ReplaceFileWhole(targetPath, text.Value());
}

}  // namespace kestrel
