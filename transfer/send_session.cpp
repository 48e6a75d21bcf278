#include "transfer/send_session.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "transfer/packets.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

Result SendNewFile(SerialLink& link, std::string_view deviceName, std::uint16_t value) {
    std::vector<std::uint8_t> payload;
    payload.reserve(deviceName.size() + 3);
    payload.push_back(static_cast<std::uint8_t>(value & 0xFFU));
    payload.push_back(static_cast<std::uint8_t>(value >> 8U));
    payload.insert(payload.end(), deviceName.begin(), deviceName.end());
    payload.push_back(0);
    return SendPacketWith(link, PacketType::NewFile, payload);
}

void ShowRemaining(TransferRun& run, std::uint64_t sent, std::uint64_t size) {
    run.status.ShowProgress(texts::Kilobytes(size - sent), Progress{sent, size});
}

// Streams exactly `size` bytes of the open file in 1024-byte Data packets. A
// file that ends early or goes on past `size` has changed since it was
// measured; a read error is never taken for its end.
Result SendChunks(TransferRun& run, std::ifstream& file, std::uint64_t size) {
    Packet& packet = run.link.packet;
    std::uint64_t sent = 0;
    while (sent < size) {
        const auto wanted =
            static_cast<std::streamsize>(std::min<std::uint64_t>(kChunkSize, size - sent));
        file.read(reinterpret_cast<char*>(packet.payload.data()), wanted);
        const std::streamsize got = file.gcount();
        if (got < wanted) {
            return Result::Failed(file.eof() && !file.bad() ? texts::kPcFileChanged
                                                            : texts::kPcFileReadError);
        }
        packet.type = PacketType::Data;
        packet.length = static_cast<std::uint16_t>(got);
        if (Result accepted = SendPacket(run.link); !accepted.IsOk()) return accepted;
        sent += static_cast<std::uint64_t>(got);
        ShowRemaining(run, sent, size);
    }
    if (file.peek() != std::ifstream::traits_type::eof()) {
        return Result::Failed(texts::kPcFileChanged);
    }
    if (file.bad()) return Result::Failed(texts::kPcFileReadError);
    return Result::Ok();
}

}  // namespace

Result SendFile(TransferRun& run, const std::filesystem::path& pcPath,
                std::string_view deviceDirectory, std::string_view deviceName,
                std::uint16_t newFileValue) {
    SerialLink& link = run.link;
    if (Result sent = SendDirectory(link, deviceDirectory); !sent.IsOk()) return sent;
    if (Result sent = SendNewFile(link, deviceName, newFileValue); !sent.IsOk()) return sent;
    std::ifstream file(pcPath, std::ios::binary | std::ios::ate);
    if (!file.is_open()) return Result::Failed(texts::kCannotOpenPcFile);
    const std::streamoff size = file.tellg();
    file.seekg(0);
    if (size < 0 || !file.good()) return Result::Failed(texts::kPcFileReadError);
    const auto total = static_cast<std::uint64_t>(size);
    ShowRemaining(run, 0, total);
    if (Result sent = SendChunks(run, file, total); !sent.IsOk()) return sent;
    file.close();
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
    const bool several = files.size() > 1;
    std::vector<Outgoing> outgoing(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TransferFile& file = files[i];
        Result prepared =
            PrepareForSending(file.pcPath, file.type, file.text, run.formats, outgoing[i]);
        if (!prepared.IsOk()) return NamedFailure(file, prepared);
        if (outgoing[i].fromUtf8) run.convertedFromUtf8 = true;
    }
    if (run.convertedFromUtf8) run.status.ShowStatus(texts::kConvertedFromUtf8);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (Result staged = StageForSending(outgoing[i], run.formats); !staged.IsOk()) {
            return staged;
        }
        TransferFile sent = files[i];
        sent.pcPath = outgoing[i].pcPath;
        if (several) run.status.ShowStatus(texts::Downloading(sent.deviceName));
        const SessionFlags flags{i == 0, i + 1 == files.size()};
        if (Result result = SendSession(run, sent, flags); !result.IsOk()) return result;
    }
    if (several) run.status.ShowStatus(texts::SentFiles(files.size()));
    return Result::Ok();
}

}  // namespace kestrel
