#pragma once
// Application images (extension "bin"): handheld applications in a coded form
// that carries its own key. Layout (L = keyLength, M = keptLength, N = M + 78):
//   0          1  keyLength, 1..30
//   1          L  keyHead
//   1+L        2  keptLength, little-endian
//   3+L        N  codedBody: decoded, the first 78 bytes dropped, M kept
//   3+L+N      L  keyTail: copied unchanged
//   3+2L+N     .. codedTail: decoded, all kept
// Coded byte j (counted through codedBody and on through codedTail, keyTail
// not counted) is decoded with row keyHead[j % L] ^ keyTail[j % L] of the
// substitution table. The decoded application is body, keyTail, tail: 81 + L
// bytes shorter than the image.
//
// DecodeApplicationImage is pure and checks the layout before it allocates:
// the output is never larger than the image.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "formats/conversion_result.h"
#include "formats/substitution_table.h"
#include "formats/text_charset.h"

namespace kestrel {

inline constexpr std::size_t kMaxKeyLength = 30;
inline constexpr std::size_t kDiscardedBodyLength = 78;

ConversionResult DecodeApplicationImage(std::span<const std::uint8_t> image,
                                        const SubstitutionTable& table);

// Why an image cannot be decoded without a table: "没有可用的解码表文件"
// and the name of the file looked for, then the folder where it belongs
// when one is given: "（请放在/usr/share/kestrel）".
std::string MissingTableText(const std::filesystem::path& missingTable, const Charset& toGbk);

}  // namespace kestrel
