#include "handheld/handheld.h"

#include <array>
#include <optional>
#include <thread>
#include <utility>

#include "handheld/greeting.h"
#include "handheld/line_io.h"
#include "link/packet.h"

namespace kestrel {

namespace {

SessionEnd EndFor(const Result& result) {
    switch (result.GetKind()) {
        case Result::Kind::timedOut:
            return SessionEnd::pcSilent;
        case Result::Kind::cancelled:
            return SessionEnd::cancelled;
        default:
            return SessionEnd::portFailed;
    }
}

std::optional<SessionEnd> Failed(const Result& result) {
    if (result.IsOk()) return std::nullopt;
    return EndFor(result);
}

// A dropped session leaves the line usable; anything else ends the connection.
bool EndsConnection(SessionEnd end) {
    return end != SessionEnd::closed && end != SessionEnd::pcSilent &&
           end != SessionEnd::pcConfused;
}

SessionEnd StaySilent(Port& port) {
    std::uint8_t ignored = 0;
    while (ReceiveByte(port, ignored, std::nullopt).IsOk()) {
    }
    return SessionEnd::wentSilent;
}

}  // namespace

std::string_view SessionEndName(SessionEnd end) {
    static constexpr std::array<std::string_view, 7> kNames = {
        "closed", "pcSilent", "pcConfused", "portFailed", "cancelled", "hungUp", "wentSilent"};
    return kNames.at(static_cast<std::size_t>(end));
}

VirtualHandheld::VirtualHandheld(DeviceFiles files, HandheldOptions options)
    : options_(std::move(options)),
      faults_(options_.faults),
      files_(std::move(files)),
      session_(files_) {}

SessionEnd VirtualHandheld::ServeSession(Port& port) {
    const SessionEnd end = RunSession(port);
    session_.Reset();
    const std::vector<FileActivity> files = session_.TakeActivity();
    if (options_.onSessionEnd) options_.onSessionEnd(end, files);
    std::lock_guard lock(recordMutex_);
    record_.ends.push_back(end);
    return end;
}

SessionEnd VirtualHandheld::Serve(Port& port) {
    for (;;) {
        const SessionEnd end = ServeSession(port);
        if (EndsConnection(end)) return end;
    }
}

HandheldRecord VirtualHandheld::GetRecord() const {
    std::lock_guard lock(recordMutex_);
    return record_;
}

SessionEnd VirtualHandheld::RunSession(Port& port) {
    if (const Result greeted = Greet(port, options_.greetingRepeat); !greeted.IsOk()) {
        return EndFor(greeted);
    }
    {
        std::lock_guard lock(recordMutex_);
        ++record_.greetings;
    }
    for (;;) {
        if (const Step end = ServePacket(port)) return *end;
    }
}

VirtualHandheld::Step VirtualHandheld::ServePacket(Port& port) {
    const std::size_t index = packetsSeen_;
    if (faults_.Has(FaultKind::noiseBeforeEnq, index)) {
        if (auto end = Failed(port.Write(options_.noise))) return end;
    }
    if (auto end = Failed(SendByte(port, control::kEnq))) return end;
    PcPacket packet;
    if (auto end = ReadPacket(port, packet)) return end;
    Record(packet);
    if (options_.packetWork.count() > 0) std::this_thread::sleep_for(options_.packetWork);
    return Respond(port, packet, index);
}

VirtualHandheld::Step VirtualHandheld::ReadPacket(Port& port, PcPacket& packet) {
    const Silence silence = options_.pcSilence;
    std::vector<std::uint8_t> frame(kPcHeaderSize);
    if (auto end = Failed(port.Read(frame, silence))) return end;
    const std::size_t rest = BytesAfterHeader(std::span(frame).first<kPcHeaderSize>());
    if (rest > 0) {
        frame.resize(kPcHeaderSize + rest);
        if (auto end = Failed(port.Read(std::span(frame).subspan(kPcHeaderSize), silence))) {
            return end;
        }
    }
    auto parsed = ParsePcFrame(frame);
    if (!parsed) return SessionEnd::pcConfused;  // not expected: the frame was read to its length
    packet = std::move(*parsed);
    return std::nullopt;
}

VirtualHandheld::Step VirtualHandheld::Respond(Port& port, const PcPacket& packet,
                                               std::size_t index) {
    if (faults_.Has(FaultKind::hangUp, index)) {
        if (options_.hangUp) options_.hangUp();
        return SessionEnd::hungUp;
    }
    if (faults_.Has(FaultKind::goSilent, index)) return StaySilent(port);
    if (faults_.Has(FaultKind::corruptChecksum, index)) corruptNextChunk_ = true;
    std::optional<std::uint8_t> faultReply;
    if (faults_.Has(FaultKind::refuse, index)) faultReply = control::kRefused;
    if (faults_.Has(FaultKind::wrongReply, index)) faultReply = options_.wrongReply;
    if (faultReply && !packet.payload.empty()) return Reply(port, packet, *faultReply);

    const Answer answer = session_.Handle(packet);
    if (answer.endSession) {
        if (auto end = Failed(SendByte(port, faultReply.value_or(control::kClosing)))) return end;
        return SessionEnd::closed;
    }
    if (packet.payload.empty()) {
        // No reply, unless the packet is refused (or a fault puts a byte
        // there): the PC meets it where it awaits the next 0x05.
        if (answer.accepted && !faultReply) return std::nullopt;
        return Reply(port, packet, faultReply.value_or(control::kRefused));
    }
    if (!answer.accepted) return Reply(port, packet, control::kRefused);
    if (auto end = Failed(SendByte(port, control::kAccepted))) return end;
    if (answer.chunk) return SendChunk(port, *answer.chunk);
    return std::nullopt;
}

VirtualHandheld::Step VirtualHandheld::Reply(Port& port, const PcPacket& packet,
                                             std::uint8_t reply) {
    if (auto end = Failed(SendByte(port, reply))) return end;
    const bool refusedRead = reply == control::kRefused &&
                             packet.type == static_cast<std::uint8_t>(PacketType::ReadRequest);
    if (!refusedRead) return std::nullopt;
    // The PC answers a refused ReadRequest with two bare bytes before asking again.
    static constexpr std::array<std::uint8_t, 2> kRetry = {control::kRetryFirst,
                                                           control::kRetrySecond};
    return ExpectFromPc(port, kRetry);
}

VirtualHandheld::Step VirtualHandheld::SendChunk(Port& port,
                                                 const std::vector<std::uint8_t>& chunk) {
    static constexpr std::array<std::uint8_t, 1> kAck = {control::kAck};
    if (auto end = Failed(SendByte(port, control::kDataLead))) return end;
    if (auto end = ExpectFromPc(port, kAck)) return end;

    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(chunk.size() & 0xFFU),
                                       static_cast<std::uint8_t>((chunk.size() >> 8U) & 0xFFU)};
    if (!chunk.empty()) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        std::uint8_t sum = Checksum(chunk);
        if (std::exchange(corruptNextChunk_, false)) sum ^= 0xFFU;
        bytes.push_back(sum);
    }
    if (auto end = Failed(port.Write(bytes))) return end;
    if (chunk.empty()) return std::nullopt;
    return ExpectFromPc(port, kAck);
}

VirtualHandheld::Step VirtualHandheld::ExpectFromPc(Port& port,
                                                    std::span<const std::uint8_t> expected) const {
    std::vector<std::uint8_t> got(expected.size());
    if (auto end = Failed(port.Read(got, options_.pcSilence))) return end;
    if (!std::equal(got.begin(), got.end(), expected.begin())) return SessionEnd::pcConfused;
    return std::nullopt;
}

void VirtualHandheld::Record(const PcPacket& packet) {
    ++packetsSeen_;
    std::lock_guard lock(recordMutex_);
    record_.packets.push_back(packet);
}

}  // namespace kestrel
