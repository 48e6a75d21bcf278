#include "tests/support/frames.h"

#include <algorithm>

namespace kestrel::test {
namespace {

std::uint8_t Xor(const Bytes& bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum ^ b);
    return sum;
}

Bytes Framed(std::uint8_t lead, const Bytes& payload) {
    Bytes out = {lead, static_cast<std::uint8_t>(payload.size() & 0xFF),
                 static_cast<std::uint8_t>(payload.size() >> 8)};
    if (payload.empty()) return out;
    return Concat({out, payload, {Xor(payload)}});
}

}  // namespace

Bytes Frame(std::uint8_t type, const Bytes& payload) {
    return Framed(type, payload);
}

Bytes StartFrame() {
    Bytes payload(100, 0x20);
    const Bytes banner = Hex("BF AA CA BC CD A8 D1 B6 21");  // 开始通讯!
    std::copy(banner.begin(), banner.end(), payload.begin() + 45);
    return Frame(1, payload);
}

Bytes DirectoryFrame(std::string_view directory) {
    return Frame(2, Concat({{'/'}, FromText(directory), {0}}));
}

Bytes NewFileFrame(std::string_view name) {
    return Frame(3, Concat({{0xEF, 0xEF}, FromText(name), {0}}));
}

Bytes Greeting() {
    return Hex("57 51 58");
}
Bytes Accept() {
    return Hex("05 4F");
}
Bytes DataPacket(const Bytes& data) {
    return Framed(0x08, data);
}

Bytes BadDataPacket(const Bytes& data) {
    Bytes packet = DataPacket(data);
    packet.back() ^= 0x01;
    return packet;
}

Bytes PackageFile(std::string_view count, const std::vector<PackageEntrySpec>& entries,
                  std::string_view magic) {
    Bytes bytes = Concat({FromText(magic), Bytes(12, 0x77), Hex(count)});
    for (const PackageEntrySpec& entry : entries) {
        Bytes path(60, 0);
        std::copy_n(entry.path.begin(), std::min<std::size_t>(entry.path.size(), 60), path.begin());
        const auto size = static_cast<std::uint32_t>(entry.data.size());
        bytes = Concat({bytes, Le32(entry.claimed.value_or(size)), path, entry.data});
    }
    return bytes;
}

}  // namespace kestrel::test
