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
#include <span>

#include "formats/pc_file.h"
#include "formats/substitution_table.h"
#include "status/result.h"

namespace kestrel {

inline constexpr std::size_t kMaxKeyLength = 30;
inline constexpr std::size_t kDiscardedBodyLength = 78;

// The decoded application, or why the image has none ("应用程序文件的密钥长度
// 错误", "应用程序文件不完整").
ResultOf<Bytes> DecodeApplicationImage(std::span<const std::uint8_t> image,
                                       const SubstitutionTable& table);

}  // namespace kestrel
