#include "transfer/receive_session.h"

#include <array>
#include <chrono>

#include "formats/pc_file.h"
#include "formats/whole_file.h"
#include "transfer/packets.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

// The first two bytes ("/" and the directory's first byte, or NUL) are those
// of the Directory payload just sent, which the handheld expects repeated.
Result SendOpenFile(SerialLink& link, std::string_view deviceName) {
    Packet& packet = link.packet;
    packet.type = PacketType::OpenFile;
    const std::span<std::uint8_t> payload = packet.Room();
    std::copy(deviceName.begin(), deviceName.end(), payload.begin() + 2);
    payload[deviceName.size() + 2] = 0;
    packet.length = static_cast<std::uint16_t>(deviceName.size() + 3);
    return SendPacket(link);
}

// Sends the ReadRequest until the handheld accepts it; each refusal is
// answered with CF CB before the same request goes again. A handheld that
// refuses for longer than it may stay silent is as good as silent: its last
// refusal ends the receive.
Result RequestChunk(SerialLink& link) {
    static constexpr std::array<std::uint8_t, 2> kChunkSizeLe = {kChunkSize & 0xFFU,
                                                                 kChunkSize >> 8U};
    const auto giveUp = std::chrono::steady_clock::now() + link.silenceBound;
    for (;;) {
        Result asked = SendPacketWith(link, PacketType::ReadRequest, kChunkSizeLe);
        if (asked.GetKind() != Result::Kind::refused) return asked;
        if (std::chrono::steady_clock::now() >= giveUp) return asked;
        if (Result sent = WriteByte(link, control::kRetryFirst); !sent.IsOk()) return sent;
        if (Result sent = WriteByte(link, control::kRetrySecond); !sent.IsOk()) return sent;
    }
}

// A failure of the PC's own (its file) after the greeting: the handheld is
// told the file and the session are over, so that it is not left waiting in
// a session for the next run to find. What it answers changes nothing.
Result EndedByPc(TransferRun& run, Result failure) {
    if (SendEmptyPacket(run.link, PacketType::EndOfFile).IsOk()) {
        (void)CloseHandheldSession(run);
    }
    return failure;
}

// Appends chunks to the file until a chunk shorter than 1024 bytes. The file
// hands what it holds to the system on every way out, so it ends up holding
// every good chunk whatever ends the receive.
Result ReceiveChunks(TransferRun& run, OutputFile& file) {
    std::uint64_t received = 0;
    for (;;) {
        run.status.ShowProgress(texts::Kilobytes(received), Progress{received, 0});
        if (Result asked = RequestChunk(run.link); !asked.IsOk()) return asked;
        ResultOf<std::span<const std::uint8_t>> chunk = ReceiveDataPacket(run.link);
        if (!chunk.IsOk()) return std::move(chunk).Failure();
        const std::span<const std::uint8_t> data = chunk.Value();
        received += data.size();
        if (Result written = file.Write(data); !written.IsOk()) {
            return EndedByPc(run, std::move(written));
        }
        if (data.size() < kChunkSize) return Result::Ok();
    }
}

// A directory or file the handheld refuses to open is most likely not there.
Result MaybeMissing(Result sent, std::string_view deviceDirectory, std::string_view deviceName) {
    if (sent.GetKind() != Result::Kind::refused) return sent;
    std::string path(deviceDirectory);
    if (!path.empty()) path += '/';
    path += deviceName;
    return Result::Refused(sent.Reason() + texts::MaybeNotOnHandheld(path));
}

}  // namespace

Result ReceiveFile(TransferRun& run, const std::filesystem::path& partial,
                   const TransferFile& file) {
    const std::string_view directory = file.root ? std::string_view() : file.deviceDirectory;
    if (Result sent = SendDirectory(run.link, directory); !sent.IsOk()) {
        return MaybeMissing(std::move(sent), directory, file.deviceName);
    }
    if (Result sent = SendOpenFile(run.link, file.deviceName); !sent.IsOk()) {
        return MaybeMissing(std::move(sent), directory, file.deviceName);
    }

    // Whatever has the name goes first, a link itself rather than what it
    // names: what arrives is written to a file of its own, never through
    // a link or into a file that another name shares. A folder of that name
    // is the user's and stays: the file then cannot be made, and says so.
    std::error_code ignored;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(partial, ignored))) {
        std::filesystem::remove(partial, ignored);
    }
    ResultOf<OutputFile> opened = OutputFile::Open(partial, OutputFile::Creation::kFresh);
    if (!opened.IsOk()) return EndedByPc(run, std::move(opened).Failure());
    OutputFile& out = opened.Value();
    if (Result got = ReceiveChunks(run, out); !got.IsOk()) return got;
    if (Result closed = out.Close(); !closed.IsOk()) return EndedByPc(run, std::move(closed));
    return SendEmptyPacket(run.link, PacketType::EndOfFile);
}

Result ReceiveSession(TransferRun& run, const TransferFile& file) {
    SerialLink& link = run.link;
    if (Result greeted = Handshake(link); !greeted.IsOk()) return greeted;
    if (Result started = SendStart(link); !started.IsOk()) return started;
    const std::filesystem::path partial = PartialPath(file.pcPath);
    if (Result got = ReceiveFile(run, partial, file); !got.IsOk()) return got;
    if (Result closed = CloseHandheldSession(run); !closed.IsOk()) return closed;
    // Only now, with the session closed, does the user's file change.
    return FinishReceiving(partial, file.pcPath, file.type, file.text, run.conversions);
}

}  // namespace kestrel
