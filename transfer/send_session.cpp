#include "transfer/send_session.h"

#include <fstream>
#include <vector>

#include "transfer/packets.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

SendResult SendNewFile(SerialLink& link, std::string_view deviceName, std::uint16_t value) {
    std::vector<std::uint8_t> payload;
    payload.reserve(deviceName.size() + 3);
    payload.push_back(static_cast<std::uint8_t>(value & 0xFFU));
    payload.push_back(static_cast<std::uint8_t>(value >> 8U));
    payload.insert(payload.end(), deviceName.begin(), deviceName.end());
    payload.push_back(0);
    return SendPacketWith(link, PacketType::NewFile, payload);
}

// Streams the open file in 1024-byte Data packets. A read error is a
// failure, never taken for the end of the file.
LinkResult SendChunks(SerialLink& link, std::ifstream& file, std::int64_t remaining) {
    Packet& packet = link.packet;
    for (;;) {
        file.read(reinterpret_cast<char*>(packet.payload.data()), kChunkSize);
        const auto got = static_cast<std::size_t>(file.gcount());
        if (file.bad() || (got < kChunkSize && !file.eof())) {
            link.status.ShowStatus(texts::kPcFileReadError);
            return LinkResult::failed;
        }
        if (got == 0) return LinkResult::ok;
        packet.type = PacketType::Data;
        packet.length = static_cast<std::uint16_t>(got);
        if (SendPacket(link) != SendResult::accepted) return LinkResult::failed;
        remaining -= static_cast<std::int64_t>(got);
        link.status.ShowStatus(texts::Kilobytes(remaining));
    }
}

}  // namespace

LinkResult SendFile(SerialLink& link, const std::filesystem::path& pcPath,
                    std::string_view deviceDirectory, std::string_view deviceName,
                    std::uint16_t newFileValue) {
    if (SendDirectory(link, deviceDirectory) != SendResult::accepted) return LinkResult::failed;
    if (SendNewFile(link, deviceName, newFileValue) != SendResult::accepted) {
        return LinkResult::failed;
    }
    std::ifstream file(pcPath, std::ios::binary | std::ios::ate);
    if (!file.is_open()) {
        link.status.ShowStatus(texts::kCannotOpenPcFile);
        return LinkResult::failed;
    }
    const std::streamoff size = file.tellg();
    file.seekg(0);
    if (size < 0 || !file.good()) {
        link.status.ShowStatus(texts::kPcFileReadError);
        return LinkResult::failed;
    }
    link.status.ShowStatus(texts::Kilobytes(size));
    if (SendChunks(link, file, size) != LinkResult::ok) return LinkResult::failed;
    file.close();
    if (SendEmptyPacket(link, PacketType::EndOfFile) != SendResult::accepted) {
        return LinkResult::failed;
    }
    return LinkResult::ok;
}

LinkResult SendSession(TransferRun& run, std::string_view deviceName,
                       std::string_view deviceDirectory, std::filesystem::path& pcPath) {
    SerialLink& link = run.link;
    if (!PrepareForSending(pcPath, run.formats)) return LinkResult::failed;
    if (link.flags.needHandshake && Handshake(link) != LinkResult::ok) return LinkResult::failed;
    if (SendStart(link) != SendResult::accepted) return LinkResult::failed;
    if (SendFile(link, pcPath, deviceDirectory, deviceName, kNewFileValue) != LinkResult::ok) {
        return LinkResult::failed;
    }
    if (!link.flags.lastFile) return LinkResult::ok;  // the next entry follows in this session
    if (CloseHandheldSession(link) != LinkResult::ok) return LinkResult::failed;
    ReportSuccess(run);
    return LinkResult::ok;
}

}  // namespace kestrel
