#include "handheld/pc_packet.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::uint8_t kSlash = 0x2F;
constexpr std::uint8_t kNewFileMark = 0xEF;

std::size_t AnnouncedLength(std::span<const std::uint8_t> header) {
    return static_cast<std::size_t>(header[1]) | (static_cast<std::size_t>(header[2]) << 8U);
}

// Text closed by its only NUL, which must be the last byte.
std::optional<std::string> TerminatedText(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.back() != 0) return std::nullopt;
    const auto text = bytes.first(bytes.size() - 1);
    if (std::find(text.begin(), text.end(), std::uint8_t{0}) != text.end()) return std::nullopt;
    return std::string(text.begin(), text.end());
}

}  // namespace

std::size_t BytesAfterHeader(std::span<const std::uint8_t, kPcHeaderSize> header) {
    const std::size_t length = AnnouncedLength(header);
    return length == 0 ? 0 : length + 1;
}

std::optional<PcPacket> ParsePcFrame(std::span<const std::uint8_t> frame) {
    if (frame.size() < kPcHeaderSize) return std::nullopt;
    const auto header = frame.first<kPcHeaderSize>();
    if (frame.size() != kPcHeaderSize + BytesAfterHeader(header)) return std::nullopt;

    PcPacket packet;
    packet.type = header[0];
    if (frame.size() == kPcHeaderSize) return packet;
    const auto payload = frame.subspan(kPcHeaderSize, AnnouncedLength(header));
    packet.payload.assign(payload.begin(), payload.end());
    std::uint8_t sum = 0;
    for (std::uint8_t b : payload) sum ^= b;
    packet.checksumOk = sum == frame.back();
    return packet;
}

std::optional<std::string> ParseDirectoryPayload(std::span<const std::uint8_t> payload) {
    if (payload.empty() || payload[0] != kSlash) return std::nullopt;
    return TerminatedText(payload.subspan(1));
}

std::optional<std::string> ParseNewFilePayload(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2 || payload[0] != kNewFileMark || payload[1] != kNewFileMark) {
        return std::nullopt;
    }
    return TerminatedText(payload.subspan(2));
}

std::optional<OpenFileRequest> ParseOpenFilePayload(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2 || payload[0] != kSlash) return std::nullopt;
    auto name = TerminatedText(payload.subspan(2));
    if (!name) return std::nullopt;
    return OpenFileRequest{payload[1], std::move(*name)};
}

std::optional<std::uint16_t> ParseReadRequestPayload(std::span<const std::uint8_t> payload) {
    if (payload.size() != 2) return std::nullopt;
    return static_cast<std::uint16_t>(payload[0] | (payload[1] << 8U));
}

}  // namespace kestrel
