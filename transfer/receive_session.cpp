#include "transfer/receive_session.h"

#include <array>
#include <fstream>

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
    std::copy(deviceName.begin(), deviceName.end(), packet.payload.begin() + 2);
    packet.payload[deviceName.size() + 2] = 0;
    packet.length = static_cast<std::uint16_t>(deviceName.size() + 3);
    return SendPacket(link);
}

// Sends the ReadRequest until the handheld accepts it; each refusal is
// answered with CF CB before the same request goes again.
Result RequestChunk(SerialLink& link) {
    static constexpr std::array<std::uint8_t, 2> kChunkSizeLe = {kChunkSize & 0xFFU,
                                                                 kChunkSize >> 8U};
    for (;;) {
        Result asked = SendPacketWith(link, PacketType::ReadRequest, kChunkSizeLe);
        if (asked.GetKind() != Result::Kind::refused) return asked;
        if (Result sent = WriteByte(link, control::kRetryFirst); !sent.IsOk()) return sent;
        if (Result sent = WriteByte(link, control::kRetrySecond); !sent.IsOk()) return sent;
    }
}

// Appends chunks to the open file until a chunk shorter than 1024 bytes.
Result ReceiveChunks(TransferRun& run, std::ofstream& file) {
    std::uint64_t received = 0;
    for (;;) {
        run.status.ShowProgress(texts::Kilobytes(received), Progress{received, 0});
        if (Result asked = RequestChunk(run.link); !asked.IsOk()) return asked;
        if (Result got = ReceiveDataPacket(run.link); !got.IsOk()) return got;
        const std::uint16_t length = run.link.packet.length;
        received += length;
        if (length > 0) {
            // The stream's buffer passes chunks to the file a few at a time
            // rather than one system call per chunk; every way out of the
            // receive closes the stream, so the file still ends up holding
            // every good chunk, and a failed write shows here or at close.
            file.write(reinterpret_cast<const char*>(run.link.packet.payload.data()), length);
            if (!file.good()) return Result::Failed(texts::kPcFileWriteError);
        }
        if (length < kChunkSize) return Result::Ok();
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

    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return NamedFailure(file, Result::Failed(texts::kCannotCreatePcFile));
    if (Result got = ReceiveChunks(run, out); !got.IsOk()) return got;
    out.close();
    if (out.fail()) return Result::Failed(texts::kPcFileWriteError);
    return SendEmptyPacket(run.link, PacketType::EndOfFile);
}

Result ReceiveSession(TransferRun& run, const TransferFile& file) {
    std::filesystem::path landing = file.pcPath;
    if (Result prepared = PrepareForReceiving(landing, file.type, run.formats); !prepared.IsOk()) {
        return NamedFailure(file, prepared);
    }
    SerialLink& link = run.link;
    if (Result greeted = Handshake(link); !greeted.IsOk()) return greeted;
    if (Result started = SendStart(link); !started.IsOk()) return started;
    const std::filesystem::path partial = PartialPath(landing);
    if (Result got = ReceiveFile(run, partial, file); !got.IsOk()) return got;
    if (Result closed = CloseHandheldSession(run); !closed.IsOk()) return closed;
    // Only now, with the session closed, does the user's file change.
    if (const std::string_view failure = CommitWholeFile(partial, landing); !failure.empty()) {
        return NamedFailure(file, Result::Failed(failure));
    }
    Result finished = FinishReceiving(landing, file.pcPath, file.type, file.text, run.formats);
    return finished.IsOk() ? finished : NamedFailure(file, finished);
}

}  // namespace kestrel
