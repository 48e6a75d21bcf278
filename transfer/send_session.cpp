#include "transfer/send_session.h"

#include <algorithm>

#include "formats/pc_file.h"
#include "status/shown_name.h"
#include "transfer/packets.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

Result SendNewFile(SerialLink& link, std::string_view deviceName, std::uint16_t value) {
    Packet& packet = link.packet;
    packet.type = PacketType::NewFile;
    const std::span<std::uint8_t> payload = packet.Room();
    payload[0] = static_cast<std::uint8_t>(value & 0xFFU);
    payload[1] = static_cast<std::uint8_t>(value >> 8U);
    std::copy(deviceName.begin(), deviceName.end(), payload.begin() + 2);
    payload[deviceName.size() + 2] = 0;
    packet.length = static_cast<std::uint16_t>(deviceName.size() + 3);
    return SendPacket(link);
}

void ShowRemaining(TransferRun& run, std::uint64_t sent, std::uint64_t size) {
    run.status.ShowProgress(texts::Kilobytes(size - sent), Progress{sent, size});
}

// Streams exactly the file's size, as it was when opened, in 1024-byte Data
// packets. A file that ends early, or has another size once sent, has
// changed since; a read error is never taken for its end.
Result SendChunks(TransferRun& run, InputFile& file, const std::string& name) {
    Packet& packet = run.link.packet;
    const std::uint64_t size = file.Size();
    std::uint64_t sent = 0;
    while (sent < size) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, size - sent));
        ResultOf<std::size_t> got = file.Read(packet.Room().first(wanted));
        if (!got.IsOk()) return std::move(got).Failure();
        if (got.Value() < wanted) return Result::Failed(texts::kPcFileChanged, name);
        packet.type = PacketType::Data;
        packet.length = static_cast<std::uint16_t>(wanted);
        if (Result accepted = SendPacket(run.link); !accepted.IsOk()) return accepted;
        sent += wanted;
        ShowRemaining(run, sent, size);
    }
    ResultOf<std::uint64_t> sizeNow = file.SizeNow();
    if (!sizeNow.IsOk()) return std::move(sizeNow).Failure();
    if (sizeNow.Value() != size) return Result::Failed(texts::kPcFileChanged, name);
    return Result::Ok();
}

}  // namespace

Result SendFile(TransferRun& run, const std::filesystem::path& pcPath,
                std::string_view deviceDirectory, std::string_view deviceName,
                std::uint16_t newFileValue) {
    SerialLink& link = run.link;
    if (Result sent = SendDirectory(link, deviceDirectory); !sent.IsOk()) return sent;
    if (Result sent = SendNewFile(link, deviceName, newFileValue); !sent.IsOk()) return sent;
    ResultOf<InputFile> opened = InputFile::Open(pcPath);
    if (!opened.IsOk()) return std::move(opened).Failure();
    InputFile& file = opened.Value();
    ShowRemaining(run, 0, file.Size());
    if (Result sent = SendChunks(run, file, ShownName(pcPath)); !sent.IsOk()) return sent;
    return SendEmptyPacket(link, PacketType::EndOfFile);
}

Result SendSession(TransferRun& run, const TransferFile& file, SessionFlags flags) {
    if (flags.needHandshake) {
        if (Result greeted = Handshake(run.link); !greeted.IsOk()) return greeted;
    }
    if (Result started = SendStart(run.link); !started.IsOk()) return started;
    const std::string_view directory = file.root ? std::string_view() : file.deviceDirectory;
    if (Result sent = SendFile(run, file.pcPath, directory, file.deviceName, kNewFileValue);
        !sent.IsOk()) {
        return sent;
    }
    if (!flags.lastFile) return Result::Ok();  // the next file follows in this session
    return CloseHandheldSession(run);
}

Result SendFiles(TransferRun& run, const std::vector<TransferFile>& files) {
    if (run.convertedFromUtf8) run.status.ShowStatus(texts::kConvertedFromUtf8);
    const bool several = files.size() > 1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (several) run.status.ShowStatus(texts::Downloading(files[i].deviceName));
        const SessionFlags flags{i == 0, i + 1 == files.size()};
        if (Result result = SendSession(run, files[i], flags); !result.IsOk()) return result;
    }
    if (several) run.status.ShowStatus(texts::SentFiles(files.size()));
    return Result::Ok();
}

}  // namespace kestrel
