#include "tests/faults/packet_steps.h"

#include <algorithm>

namespace kestrel::test {
namespace {

constexpr std::size_t kChunk = 1024;

bool IsEmptyPacket(PacketType type) {
    return type == PacketType::EndOfFile || type == PacketType::EndSession;
}

// An empty packet gets no reply, so a reply byte the handheld sends after
// one lands wherever the PC reads next: harmless only on the closing byte
// (read and ignored) or ahead of a Start that skips everything before 0x05.
bool StrayByteIsSkipped(std::size_t at, std::span<const PacketStep> steps) {
    if (steps[at].type == PacketType::EndSession) return true;
    return at + 1 < steps.size() && steps[at + 1].opensSession;
}

}  // namespace

std::vector<PacketStep> SendSteps(std::span<const std::size_t> fileSizes) {
    std::vector<PacketStep> steps;
    for (const std::size_t size : fileSizes) {
        steps.push_back({PacketType::Start, true});
        steps.push_back({PacketType::Directory});
        steps.push_back({PacketType::NewFile});
        for (std::size_t sent = 0; sent < size; sent += kChunk) steps.push_back({PacketType::Data});
        steps.push_back({PacketType::EndOfFile});
    }
    steps.push_back({PacketType::EndSession});
    return steps;
}

std::vector<PacketStep> ReceiveSteps(std::size_t fileSize) {
    std::vector<PacketStep> steps = {
        {PacketType::Start, true}, {PacketType::Directory}, {PacketType::OpenFile}};
    for (std::size_t left = fileSize;; left -= kChunk) {
        steps.push_back({PacketType::ReadRequest, false, left > 0});
        if (left < kChunk) break;
    }
    steps.push_back({PacketType::EndOfFile});
    steps.push_back({PacketType::EndSession});
    return steps;
}

bool ExpectSuccess(FaultKind kind, std::size_t at, std::span<const PacketStep> steps) {
    const PacketType type = steps[at].type;
    switch (kind) {
        case FaultKind::refuse:
            if (type == PacketType::ReadRequest) return true;  // answered and asked again
            [[fallthrough]];
        case FaultKind::wrongReply:
            return IsEmptyPacket(type) && StrayByteIsSkipped(at, steps);
        case FaultKind::corruptChecksum:
            // Spoils the next chunk with a payload; a send gets none.
            return std::none_of(steps.begin() + static_cast<std::ptrdiff_t>(at), steps.end(),
                                [](const PacketStep& step) { return step.bringsChunk; });
        case FaultKind::noiseBeforeEnq:
            return steps[at].opensSession;
        case FaultKind::goSilent:
        case FaultKind::hangUp:
            // Only the closing byte after EndSession goes missing, and it is not needed.
            return type == PacketType::EndSession;
    }
    return false;
}

}  // namespace kestrel::test
