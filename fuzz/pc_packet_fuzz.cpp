// What the virtual handheld makes of a PC's bytes: the input is read as the
// handheld reads its line, one frame after another (a header, then as many
// bytes as the header announces), and each payload goes through the parser
// of every packet type. Parsed texts must rebuild the payload exactly.
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "handheld/pc_packet.h"
#include "link/packet.h"

namespace kestrel::fuzz {
namespace {

// lead + text + NUL, compared with payload.
bool Rebuilds(Input payload, std::vector<std::uint8_t> lead, const std::string& text) {
    lead.insert(lead.end(), text.begin(), text.end());
    lead.push_back(0);
    return SameBytes(lead, payload);
}

void CheckPayloadParsers(Input payload) {
    if (const auto directory = ParseDirectoryPayload(payload)) {
        Require(Rebuilds(payload, {0x2F}, *directory), "a directory rebuilds its payload");
    }
    if (const auto name = ParseNewFilePayload(payload)) {
        Require(Rebuilds(payload, {0xEF, 0xEF}, *name), "a new file's name rebuilds its payload");
    }
    if (const auto request = ParseOpenFilePayload(payload)) {
        Require(Rebuilds(payload, {0x2F, request->directoryByte}, request->name),
                "an open file request rebuilds its payload");
    }
    if (const auto size = ParseReadRequestPayload(payload)) {
        Require(payload.size() == 2 && *size == (payload[0] | (std::size_t{payload[1]} << 8U)),
                "a read request holds its size");
    }
}

// One whole frame, as long as its header says.
void CheckFrame(Input frame) {
    const auto packet = ParsePcFrame(frame);
    Require(packet.has_value() && packet->type == frame[0],
            "a frame of the announced length parses");
    const std::size_t length = frame[1] | (std::size_t{frame[2]} << 8U);
    Require(packet->payload.size() == length, "the payload has the announced length");
    Require(packet->checksumOk == (length == 0 || Checksum(packet->payload) == frame.back()),
            "the checksum is the payload's XOR");
    // Room for the payload and the checksum after it.
    if (packet->checksumOk && length < Packet::kPayloadCapacity) {
        Packet framed;
        framed.type = static_cast<PacketType>(packet->type);
        framed.length = static_cast<std::uint16_t>(length);
        std::copy(packet->payload.begin(), packet->payload.end(), framed.Room().begin());
        Require(SameBytes(framed.Frame(), frame), "the PC's framing gives the frame back");
    }
    CheckPayloadParsers(packet->payload);
}

}  // namespace

void FuzzPcPackets(Input input) {
    Input line = input;
    while (line.size() >= kPcHeaderSize) {
        const std::size_t frameLength =
            kPcHeaderSize + BytesAfterHeader(line.first<kPcHeaderSize>());
        if (frameLength > line.size()) {
            Require(!ParsePcFrame(line).has_value(), "a frame cut short does not parse");
            return;
        }
        Require(frameLength == line.size() || !ParsePcFrame(line.first(frameLength + 1)),
                "a frame with a byte too many does not parse");
        CheckFrame(line.first(frameLength));
        line = line.subspan(frameLength);
    }
    Require(!ParsePcFrame(line).has_value(), "less than a header does not parse");
    CheckPayloadParsers(input);
}

}  // namespace kestrel::fuzz
