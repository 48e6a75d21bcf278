#pragma once
// The handheld's text files: a 24-byte TextHeader, then the text byte for byte
// (no character-set or line-end conversion, no terminator).
//
// The *Bytes functions are pure conversions of whole buffers; they never throw
// for bad input (only std::bad_alloc when memory runs out) and never allocate
// more than their input plus the header. UnwrapText strips the header from a
// received file into the user's file, which is replaced only once the new
// content is complete.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "formats/pc_file.h"
#include "formats/text_charset.h"
#include "status/result.h"

namespace kestrel {

inline constexpr std::size_t kTextHeaderSize = 24;
inline constexpr std::size_t kHeadedTextHeaderSize = 16;  // the gtx header, not examined

// The constant part of every text header; totalLength (header included,
// 32-bit little-endian) goes at offsets 10 and 19.
inline constexpr std::array<std::uint8_t, kTextHeaderSize> kTextHeader = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr std::size_t kTotalLengthOffsets[] = {10, 19};

// Header + text. Fails on an empty text, or one too long for totalLength.
ResultOf<Bytes> WrapTextBytes(std::span<const std::uint8_t> text);
// Drops the first 16 bytes and wraps the rest. Fails when nothing is left.
ResultOf<Bytes> RewrapTextBytes(std::span<const std::uint8_t> headedText);
// The text behind the 24-byte header (possibly empty). Fails when the input
// is shorter than the header, or when either length in the header is not
// the input's size.
ResultOf<Bytes> UnwrapTextBytes(std::span<const std::uint8_t> handheldText);

// Ok when targetPath now holds the text of sourcePath (made UTF-8 through
// charsets when they are given); otherwise targetPath keeps its former
// content (or stays absent) and sourcePath is not changed. A failure names
// targetPath.
Result UnwrapText(const std::filesystem::path& sourcePath, const std::filesystem::path& targetPath,
                  const TextCharsets* asUtf8);

}  // namespace kestrel
