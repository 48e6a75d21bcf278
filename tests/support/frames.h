#pragma once
// The line's bytes built apart from the code under test: PC frames as the PC
// must send them, and what a handheld sends.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/bytes.h"

namespace kestrel::test {

Bytes Frame(std::uint8_t type, const Bytes& payload);  // type, length LE, payload, XOR
Bytes StartFrame();                                    // 100 bytes: spaces and the banner
Bytes DirectoryFrame(std::string_view directory);      // "/" directory NUL
Bytes NewFileFrame(std::string_view name);             // EF EF name NUL

Bytes Greeting();                        // W Q X
Bytes Accept();                          // 05 'O': ready, then accepted
Bytes DataPacket(const Bytes& data);     // 08, length LE, data, XOR
Bytes BadDataPacket(const Bytes& data);  // the same with a spoiled checksum

// A package file: "PAC ", 12 bytes, the count as given, then each entry's
// size (claimed, when set, instead of the data's), 60-byte path and data.
struct PackageEntrySpec {
    std::string path;
    Bytes data;
    std::optional<std::uint32_t> claimed = std::nullopt;
};
Bytes PackageFile(std::string_view count, const std::vector<PackageEntrySpec>& entries,
                  std::string_view magic = "PAC ");

}  // namespace kestrel::test
