#pragma once
// Package files: several handheld files in one PC file, each under its
// device path ("directory/name"). A package is checked whole before any of
// it is sent, so a damaged one sends nothing.
//
//   0   4   "PAC "
//   4  12   not examined
//  16   2   entry count, signed 16-bit LE; 0 or below: nothing to send
//  18       entries: 4-byte LE data size, 60-byte NUL-terminated GBK path, data
//
// CheckPackage reads only headers and steps over data, so checking costs no
// memory however large the package says its entries are. Its failures name
// the package: "下载包格式错误" (shorter than 16 bytes or a wrong magic),
// "下载包不完整" (the file ends inside the count, an entry header or its
// data), "下载包中的文件路径无效" (no NUL in 60 bytes, an empty name, a
// name over 23 bytes, a ".." part or a control character), or the reader's
// own (the OS's reason).

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/pc_file.h"
#include "status/result.h"

namespace kestrel {

struct PackageEntry {
    std::uint32_t size = 0;
    std::string directory;  // GBK; empty for the handheld's root
    std::string name;       // GBK
    std::uint64_t dataOffset = 0;
};

// Whether a GBK byte is a control character (below 0x20, or 0x7F), which
// the handheld takes in no name or directory, a package's or a box's.
// Neither is ever a trail byte, so a byte search finds only real ones.
inline bool IsControlByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

inline constexpr std::size_t kPackagePathField = 60;
inline constexpr std::size_t kMaxPackageNameLength = 23;

// Where a package's bytes come from: `into.size()` bytes at `offset`, fewer
// only at the end (a PC file's ReadAt, or bytes in memory).
using PackageReader =
    std::function<ResultOf<std::size_t>(std::uint64_t offset, std::span<std::uint8_t> into)>;

// Every entry in file order, empty entries included. `name` is the
// package's, for failures.
ResultOf<std::vector<PackageEntry>> CheckPackage(std::uint64_t size, const PackageReader& read,
                                                 std::string_view name);

// The data of one checked entry.
ResultOf<Bytes> ReadEntryData(const PackageReader& read, const PackageEntry& entry,
                              std::string_view name);

}  // namespace kestrel
