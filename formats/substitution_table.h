#pragma once
// The 256 x 256 substitution table through which application images are
// decoded: row r is bytes r*256 .. r*256+255, and every row is a permutation
// of the byte values 0..255. A table is only ever built from bytes that have
// this form, so every lookup has an answer.
//
// The table is not part of the program: it is read from the file
// "substitution.table" (exactly 65,536 bytes) in the folders the front end
// names (the executable's first, then the one where a user puts it:
// app/platform/program_files.h). The first folder holding the file decides;
// a file there that is not a usable table is reported as such, not skipped
// and not taken for a missing one. Without a table, sending an application
// image fails before anything is exchanged.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "status/result.h"

namespace kestrel {

inline constexpr char kSubstitutionTableFileName[] = "substitution.table";

class SubstitutionTable {
  public:
    static constexpr std::size_t kRowLength = 256;
    static constexpr std::size_t kSize = kRowLength * kRowLength;

    // Empty when bytes is not kSize long or a row is not a permutation.
    static std::optional<SubstitutionTable> FromBytes(std::span<const std::uint8_t> bytes);

    // The byte at column plain of row row (how a byte is coded).
    std::uint8_t Lookup(std::uint8_t row, std::uint8_t plain) const;
    // The column at which row row holds value (how a byte is decoded).
    std::uint8_t InverseLookup(std::uint8_t row, std::uint8_t value) const;

  private:
    SubstitutionTable(std::vector<std::uint8_t> forward, std::vector<std::uint8_t> inverse);

    std::vector<std::uint8_t> forward_;
    std::vector<std::uint8_t> inverse_;  // inverse_[row*256 + value] = column
};

// Loads one file; never reads more than 65,536 bytes into memory. Fails
// naming the file: it cannot be read (the OS's reason), "解码表文件的大小不是
// 65536字节", or "解码表文件无效" (some row does not hold every byte value
// once).
ResultOf<SubstitutionTable> LoadSubstitutionTable(const std::filesystem::path& file);
// Loads kSubstitutionTableFileName from the first of folders that holds it;
// when none does, MissingTable() of the last, where a user puts it (the
// installed data folder on POSIX, the user's own on Windows).
ResultOf<SubstitutionTable> FindSubstitutionTable(std::span<const std::filesystem::path> folders);

// Why an image cannot be decoded without a table: "没有可用的解码表文件" and
// the name of the file looked for, then the folder where it belongs when one
// is given: "（请放在/usr/share/kestrel）".
Result MissingTable(const std::filesystem::path& folder = {});

}  // namespace kestrel
