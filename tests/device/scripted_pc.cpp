#include "tests/device/scripted_pc.h"

#include <algorithm>
#include <span>

namespace kestrel::test {

namespace {

Bytes Enclosed(Bytes head, std::string_view text) {
    head.insert(head.end(), text.begin(), text.end());
    head.push_back(0x00);
    return head;
}

}  // namespace

Bytes Frame(std::uint8_t type, const Bytes& payload) {
    const auto length = payload.size();
    Bytes frame = {type, static_cast<std::uint8_t>(length & 0xFFU),
                   static_cast<std::uint8_t>(length >> 8U)};
    if (payload.empty()) return frame;
    frame.insert(frame.end(), payload.begin(), payload.end());
    std::uint8_t sum = 0;
    for (std::uint8_t b : payload) sum ^= b;
    frame.push_back(sum);
    return frame;
}

Bytes StartPayload() {
    Bytes payload(100, 0x20);
    const Bytes banner = {0xBF, 0xAA, 0xCA, 0xBC, 0xCD, 0xA8, 0xD1, 0xB6, 0x21};
    std::copy(banner.begin(), banner.end(), payload.begin() + 45);
    return payload;
}

Bytes DirectoryPayload(std::string_view directory) {
    return Enclosed({0x2F}, directory);
}

Bytes NewFilePayload(std::string_view name) {
    return Enclosed({0xEF, 0xEF}, name);
}

Bytes OpenFilePayload(std::string_view directory, std::string_view name) {
    const auto first =
        directory.empty() ? std::uint8_t{0} : static_cast<std::uint8_t>(directory[0]);
    return Enclosed({0x2F, first}, name);
}

Bytes ReadRequestPayload(std::uint16_t chunkSize) {
    return {static_cast<std::uint8_t>(chunkSize & 0xFFU),
            static_cast<std::uint8_t>(chunkSize >> 8U)};
}

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7U) ^ (i >> 8U));
    return bytes;
}

std::optional<std::uint8_t> ScriptedPc::Byte() {
    std::uint8_t byte = 0;
    last_ = port_.Read(std::span<std::uint8_t>(&byte, 1), bound_);
    if (last_ != IoStatus::ok) return std::nullopt;
    return byte;
}

void ScriptedPc::Write(const Bytes& bytes) {
    last_ = port_.Write(bytes);
}

bool ScriptedPc::Handshake() {
    int state = 0;
    for (auto byte = Byte(); byte; byte = Byte()) {
        if (*byte == 0x58 && state == 2) {
            Write({0x4C});
            return true;
        }
        state = *byte == 0x57 ? 1 : (*byte == 0x51 && state == 1 ? 2 : 0);
        Write({0xB3});
    }
    return false;
}

bool ScriptedPc::SendFrame(const Bytes& frame, bool discard) {
    auto byte = Byte();
    while (discard && byte && *byte != 0x05) byte = Byte();
    if (byte != 0x05) return false;
    Write(frame);
    return last_ == IoStatus::ok;
}

std::optional<std::uint8_t> ScriptedPc::Packet(std::uint8_t type, const Bytes& payload,
                                               bool discard) {
    if (!SendFrame(Frame(type, payload), discard)) return std::nullopt;
    return Byte();
}

std::optional<Bytes> ScriptedPc::ReceiveData(bool& checksumOk) {
    if (Byte() != 0x08) return std::nullopt;
    Write({0x06});
    Bytes length(2);
    if (port_.Read(length, bound_) != IoStatus::ok) return std::nullopt;
    Bytes data(length[0] | (std::size_t{length[1]} << 8U));
    checksumOk = true;
    if (data.empty()) return data;
    data.push_back(0);  // room for the checksum
    if (port_.Read(data, bound_) != IoStatus::ok) return std::nullopt;
    Write({0x06});
    std::uint8_t sum = 0;
    for (std::uint8_t b : data) sum ^= b;
    checksumOk = sum == 0;
    data.pop_back();
    return data;
}

bool ScriptedPc::Open() {
    return Handshake() && Packet(0x01, StartPayload(), true) == 0x4F;
}

bool ScriptedPc::Close() {
    return SendFrame(Frame(0x06, {})) && Byte() == 0x04;
}

bool ScriptedPc::SendFile(std::string_view directory, std::string_view name, const Bytes& data) {
    if (Packet(0x02, DirectoryPayload(directory)) != 0x4F) return false;
    if (Packet(0x03, NewFilePayload(name)) != 0x4F) return false;
    for (auto at = data.begin(); at != data.end();) {
        const auto end = at + std::min<std::ptrdiff_t>(1024, data.end() - at);
        if (Packet(0x04, Bytes(at, end)) != 0x4F) return false;
        at = end;
    }
    return SendFrame(Frame(0x05, {}));
}

std::optional<Bytes> ScriptedPc::FetchFile(std::string_view directory, std::string_view name,
                                           std::vector<std::size_t>* chunkSizes) {
    if (Packet(0x02, DirectoryPayload(directory)) != 0x4F ||
        Packet(0x07, OpenFilePayload(directory, name)) != 0x4F) {
        return std::nullopt;
    }
    Bytes file;
    for (std::size_t chunkSize = 1024; chunkSize >= 1024;) {
        auto reply = Packet(0x08, ReadRequestPayload(1024));
        for (int again = 0; reply == 0x58 && again < 100; ++again) {
            Write({0xCF, 0xCB});
            reply = Packet(0x08, ReadRequestPayload(1024));
        }
        bool checksumOk = false;
        const auto chunk = reply == 0x4F ? ReceiveData(checksumOk) : std::nullopt;
        if (!chunk || !checksumOk) return std::nullopt;
        if (chunkSizes != nullptr) chunkSizes->push_back(chunk->size());
        file.insert(file.end(), chunk->begin(), chunk->end());
        chunkSize = chunk->size();
    }
    if (!SendFrame(Frame(0x05, {}))) return std::nullopt;
    return file;
}

}  // namespace kestrel::test
