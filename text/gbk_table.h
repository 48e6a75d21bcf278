#pragma once
// The two-byte half of GBK (code page 936) as a table generated at build
// time (text/generate.py): one Unicode character for each lead 0x81-0xFE
// and trail 0x40-0x7E, 0x80-0xFE, in that order, 0 where the code is not
// GBK. Every character GBK holds is in the Basic Multilingual Plane and
// comes from exactly one code.

#include <cstddef>
#include <cstdint>

namespace kestrel::gbk {

inline constexpr std::uint8_t kFirstLead = 0x81;
inline constexpr std::uint8_t kLastLead = 0xFE;
inline constexpr std::uint8_t kFirstTrail = 0x40;
inline constexpr std::uint8_t kSkippedTrail = 0x7F;
inline constexpr std::uint8_t kLastTrail = 0xFE;
inline constexpr std::size_t kTrailsPerLead = kLastTrail - kFirstTrail;  // 0x7F left out
inline constexpr std::size_t kTwoByteSlots = (kLastLead - kFirstLead + 1) * kTrailsPerLead;

extern const std::uint16_t kTwoByteCodes[kTwoByteSlots];

}  // namespace kestrel::gbk
