#include "handheld/device_session.h"

#include "link/packet_types.h"

namespace kestrel {

namespace {

Answer Accepted(bool yes) {
    return Answer{yes, std::nullopt, false};
}

bool Is(const PcPacket& packet, PacketType type) {
    return packet.type == static_cast<std::uint8_t>(type);
}

}  // namespace

Answer DeviceSession::Handle(const PcPacket& packet) {
    if (!packet.checksumOk) return Accepted(false);
    // No packet of this kind is that long (or short): refused unread. So
    // EndSession and EndOfFile are empty from here on, and every other
    // packet has its payload.
    if (!PayloadLengthFits(packet.type, packet.payload.size())) return Accepted(false);
    if (Is(packet, PacketType::EndSession)) {
        Reset();
        return Answer{true, std::nullopt, true};
    }
    if (Is(packet, PacketType::EndOfFile)) {
        files_.CloseReading();
        fileLost_ = !files_.FinishWriting();
        return Accepted(!fileLost_);
    }
    // Every other packet needs a session opened by Start.
    if (Is(packet, PacketType::Start)) return Accepted(Start());
    if (!started_) return Accepted(false);
    switch (static_cast<PacketType>(packet.type)) {
        case PacketType::Directory:
            return Accepted(ChangeDirectory(packet));
        case PacketType::NewFile:
            return Accepted(NewFile(packet));
        case PacketType::Data:
            return Accepted(Data(packet));
        case PacketType::OpenFile:
            return Accepted(OpenFile(packet));
        case PacketType::ReadRequest: {
            auto chunk = ReadRequest(packet);
            return Answer{chunk.has_value(), std::move(chunk), false};
        }
        default:
            return Accepted(false);
    }
}

void DeviceSession::Reset() {
    files_.CloseWriting();
    files_.CloseReading();
    started_ = false;
    directory_.clear();
    fileLost_ = false;
}

// A PC skips whatever comes before the ENQ that asks for its Start, so the
// refused EndOfFile of a file that could not be kept may go unread when
// another file follows: the Start is refused too, and the PC hears it.
bool DeviceSession::Start() {
    const bool lost = fileLost_;
    Reset();
    started_ = !lost;
    return started_;
}

bool DeviceSession::ChangeDirectory(const PcPacket& packet) {
    auto directory = ParseDirectoryPayload(packet.payload);
    if (!directory || !files_.IsUsableDirectory(*directory)) return false;
    directory_ = std::move(*directory);
    return true;
}

bool DeviceSession::NewFile(const PcPacket& packet) {
    const auto name = ParseNewFilePayload(packet.payload);
    if (!name || !files_.CreateFile(directory_, *name)) return false;
    writing_ = activity_.size();
    activity_.push_back({true, directory_, *name, 0});
    return true;
}

bool DeviceSession::Data(const PcPacket& packet) {
    if (!files_.Append(packet.payload)) return false;
    if (writing_) activity_[*writing_].bytes += packet.payload.size();
    return true;
}

bool DeviceSession::OpenFile(const PcPacket& packet) {
    const auto request = ParseOpenFilePayload(packet.payload);
    if (!request) return false;
    const auto firstByte =
        directory_.empty() ? std::uint8_t{0} : static_cast<std::uint8_t>(directory_.front());
    if (request->directoryByte != firstByte || !files_.OpenForReading(directory_, request->name)) {
        return false;
    }
    reading_ = activity_.size();
    activity_.push_back({false, directory_, request->name, 0});
    return true;
}

std::optional<std::vector<std::uint8_t>> DeviceSession::ReadRequest(const PcPacket& packet) {
    const auto size = ParseReadRequestPayload(packet.payload);
    if (!size || *size == 0) return std::nullopt;
    auto chunk = files_.ReadChunk(*size);
    if (chunk && reading_) activity_[*reading_].bytes += chunk->size();
    return chunk;
}

}  // namespace kestrel
