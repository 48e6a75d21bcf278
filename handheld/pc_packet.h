#pragma once
// What the handheld makes of the bytes a PC sends: whole packet frames and the
// payload of each packet type. Pure functions over bytes, without I/O, so that
// they can be tested and fuzzed without a port.
//
// Nothing here trusts its input: every length and terminator is checked, and
// malformed input gives nullopt, never a partial result. Texts come back as
// the raw (GBK) bytes between the fixed prefix and the closing NUL; a NUL
// anywhere else makes the payload malformed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

struct PcPacket {
    std::uint8_t type = 0;  // the raw type byte; codes outside 1..8 are kept for the record
    std::vector<std::uint8_t> payload;
    bool checksumOk = true;  // an empty packet carries no checksum and is always ok
};

inline constexpr std::size_t kPcHeaderSize = 3;  // type, then the payload length LE

// How many bytes follow a header on the line: 0 for an empty packet, else the
// payload and its checksum.
std::size_t BytesAfterHeader(std::span<const std::uint8_t, kPcHeaderSize> header);

// Exactly one frame (header, then payload and checksum when the length is not
// 0); nullopt when `frame` is shorter or longer than the frame it announces.
std::optional<PcPacket> ParsePcFrame(std::span<const std::uint8_t> frame);

// "/" + directory + NUL: the directory text, empty for the root.
std::optional<std::string> ParseDirectoryPayload(std::span<const std::uint8_t> payload);

// EF EF + name + NUL: the file name.
std::optional<std::string> ParseNewFilePayload(std::span<const std::uint8_t> payload);

struct OpenFileRequest {
    std::uint8_t directoryByte = 0;  // first byte of the PC's directory, 0 for the root
    std::string name;
};
// "/" + one byte + name + NUL.
std::optional<OpenFileRequest> ParseOpenFilePayload(std::span<const std::uint8_t> payload);

// Two bytes: the chunk size asked for, little-endian.
std::optional<std::uint16_t> ParseReadRequestPayload(std::span<const std::uint8_t> payload);

}  // namespace kestrel
