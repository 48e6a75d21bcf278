#include "transfer/receive_session.h"

#include <array>
#include <fstream>
#include <system_error>

#include "transfer/packets.h"
#include "transfer/send_session.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

// The first two bytes ("/" and the directory's first byte, or NUL) are those
// of the Directory payload just sent, which the handheld expects repeated.
SendResult SendOpenFile(SerialLink& link, std::string_view deviceName) {
    Packet& packet = link.packet;
    packet.type = PacketType::OpenFile;
    std::copy(deviceName.begin(), deviceName.end(), packet.payload.begin() + 2);
    packet.payload[deviceName.size() + 2] = 0;
    packet.length = static_cast<std::uint16_t>(deviceName.size() + 3);
    return SendPacket(link);
}

// Sends the ReadRequest until the handheld accepts it; each refusal is
// answered with CF CB before the same request goes again.
LinkResult RequestChunk(SerialLink& link) {
    static constexpr std::array<std::uint8_t, 2> kChunkSizeLe = {kChunkSize & 0xFFU,
                                                                 kChunkSize >> 8U};
    for (;;) {
        switch (SendPacketWith(link, PacketType::ReadRequest, kChunkSizeLe)) {
            case SendResult::accepted:
                return LinkResult::ok;
            case SendResult::failed:
                return LinkResult::failed;
            case SendResult::refused:
                if (WriteByte(link, control::kRetryFirst) != LinkResult::ok)
                    return LinkResult::failed;
                if (WriteByte(link, control::kRetrySecond) != LinkResult::ok) {
                    return LinkResult::failed;
                }
                break;
        }
    }
}

// Appends chunks to the open file until a chunk shorter than 1024 bytes.
LinkResult ReceiveChunks(SerialLink& link, std::ofstream& file) {
    std::int64_t received = 0;
    for (;;) {
        link.status.ShowStatus(texts::Kilobytes(received));
        if (RequestChunk(link) != LinkResult::ok) return LinkResult::failed;
        if (ReceiveDataPacket(link) != LinkResult::ok) return LinkResult::failed;
        const std::uint16_t length = link.packet.length;
        received += length;
        if (length > 0) {
            // The stream's buffer passes chunks to the file a few at a time
            // rather than one system call per chunk; every way out of the
            // receive closes the stream, so the file still ends up holding
            // every good chunk, and a failed write shows here or at close.
            file.write(reinterpret_cast<const char*>(link.packet.payload.data()), length);
            if (!file.good()) {
                link.status.ShowStatus(texts::kPcFileWriteError);
                return LinkResult::failed;
            }
        }
        if (length < kChunkSize) return LinkResult::ok;
    }
}

// The whole file replaces pcPath only once the handheld session has closed,
// so a receive that fails anywhere leaves the user's file as it was.
bool CommitReceived(SerialLink& link, const std::filesystem::path& pcPath) {
    std::error_code error;
    std::filesystem::rename(PartialPath(pcPath), pcPath, error);
    if (!error) return true;
    link.status.ShowStatus(texts::kPcFileWriteError);
    return false;
}

}  // namespace

std::filesystem::path PartialPath(const std::filesystem::path& pcPath) {
    std::filesystem::path partial = pcPath;
    partial += ".part";
    return partial;
}

LinkResult ReceiveFile(SerialLink& link, const std::filesystem::path& pcPath,
                       std::string_view deviceDirectory, std::string_view deviceName) {
    if (SendDirectory(link, deviceDirectory) != SendResult::accepted) return LinkResult::failed;
    if (SendOpenFile(link, deviceName) != SendResult::accepted) return LinkResult::failed;

    const std::filesystem::path partial = PartialPath(pcPath);
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        link.status.ShowStatus(texts::kCannotCreatePcFile);
        return LinkResult::failed;
    }
    if (ReceiveChunks(link, file) != LinkResult::ok) return LinkResult::failed;
    file.close();
    if (file.fail()) {
        link.status.ShowStatus(texts::kPcFileWriteError);
        return LinkResult::failed;
    }
    if (SendEmptyPacket(link, PacketType::EndOfFile) != SendResult::accepted) {
        return LinkResult::failed;
    }
    return LinkResult::ok;
}

LinkResult ReceiveSession(TransferRun& run, std::string_view deviceName,
                          std::string_view deviceDirectory, std::filesystem::path& pcPath) {
    SerialLink& link = run.link;
    if (!PrepareForReceiving(pcPath, run.receiveTarget, run.formats)) return LinkResult::failed;
    if (Handshake(link) != LinkResult::ok) return LinkResult::failed;
    if (SendStart(link) != SendResult::accepted) return LinkResult::failed;
    if (ReceiveFile(link, pcPath, deviceDirectory, deviceName) != LinkResult::ok) {
        return LinkResult::failed;
    }
    if (CloseHandheldSession(link) != LinkResult::ok) return LinkResult::failed;
    if (!CommitReceived(link, pcPath)) return LinkResult::failed;
    // When the user's file could not be written, that text stands instead of success.
    if (!FinishReceiving(pcPath, run.receiveTarget, run.formats)) return LinkResult::ok;
    ReportSuccess(run);
    return LinkResult::ok;
}

}  // namespace kestrel
