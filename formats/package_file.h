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
// CheckPackage reads only headers and seeks over data, so checking costs no
// memory however large the package says its entries are.

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

enum class PackageProblem {
    none,
    notPackage,  // shorter than 16 bytes or a wrong magic
    truncated,   // the file ends inside the count, an entry header or its data
    badPath,     // no NUL in 60 bytes, an empty name, or a name over 23 bytes
};

struct PackageEntry {
    std::uint32_t size = 0;
    std::string directory;  // GBK; empty for the handheld's root
    std::string name;       // GBK
    std::uint64_t dataOffset = 0;
};

struct PackageIndex {
    PackageProblem problem = PackageProblem::none;
    std::vector<PackageEntry> entries;  // in file order, empty entries included
};

inline constexpr std::size_t kPackagePathField = 60;
inline constexpr std::size_t kMaxPackageNameLength = 23;

PackageIndex CheckPackage(std::istream& package);

// The data of one checked entry; nullopt when it cannot be read whole.
std::optional<std::vector<std::uint8_t>> ReadEntryData(std::istream& package,
                                                       const PackageEntry& entry);

}  // namespace kestrel
