#include "tests/transfer/scripted_line.h"

#include <gtest/gtest.h>

namespace kestrel::test {

Bytes Greeting() {
    return Hex("57 51 58");
}
Bytes Accept() {
    return Hex("05 4F");
}

namespace {
std::uint8_t Xor(const Bytes& bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum ^ b);
    return sum;
}
Bytes LengthLe(std::size_t length) {
    return {static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8)};
}
Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
}  // namespace

Bytes DataPacket(const Bytes& data) {
    if (data.empty()) return Hex("08 00 00");
    return Concat({{0x08}, LengthLe(data.size()), data, {Xor(data)}});
}

Bytes BadDataPacket(const Bytes& data) {
    Bytes packet = DataPacket(data);
    packet.back() = static_cast<std::uint8_t>(packet.back() ^ 0x01);
    return packet;
}

Bytes Frame(std::uint8_t type, const Bytes& payload) {
    if (payload.empty()) return Concat({{type}, LengthLe(0)});
    return Concat({{type}, LengthLe(payload.size()), payload, {Xor(payload)}});
}

Bytes StartFrame() {
    Bytes payload(100, 0x20);
    const Bytes banner = Hex("BF AA CA BC CD A8 D1 B6 21");  // 开始通讯!
    std::copy(banner.begin(), banner.end(), payload.begin() + 45);
    return Frame(1, payload);
}

Bytes DirectoryFrame(std::string_view directory) {
    return Frame(2, Concat({{'/'}, Text(directory), {0}}));
}

Bytes NewFileFrame(std::string_view name) {
    return Frame(3, Concat({{0xEF, 0xEF}, Text(name), {0}}));
}

Bytes ReadRequestFrame() {
    return Frame(8, Hex("00 04"));
}

ScriptedLine::ScriptedLine() {
    auto [pc, handheld] = MakeMemoryPortPair();
    pcEnd_ = std::move(pc);
    handheldEnd_ = std::move(handheld);
    setup.tempDirectory = dir.Path();
    setup.silenceBound = std::chrono::milliseconds(200);
    setup.openPort = [this](std::string_view) {
        EXPECT_TRUE(pcEnd_) << "the port was opened twice";
        return OpenedPort{std::move(pcEnd_), {}};
    };
}

void ScriptedLine::Handheld(const Bytes& bytes) {
    ASSERT_EQ(handheldEnd_->Write(bytes), IoStatus::ok);
}

TransferOutcome ScriptedLine::Run(TransferRequest request) {
    CancelSwitch cancel;
    return RunTransfer(std::move(request), setup, status, cancel);
}

Bytes ScriptedLine::PcWrote() {
    return Drain(*handheldEnd_);
}

TransferRequest Download(const std::filesystem::path& pcPath, std::string_view directory,
                         std::string_view name) {
    return {"COM1", TransferMode::down, pcPath, std::string(name), std::string(directory)};
}

TransferRequest Upload(const std::filesystem::path& pcPath, std::string_view directory,
                       std::string_view name) {
    return {"COM1", TransferMode::up, pcPath, std::string(name), std::string(directory)};
}

}  // namespace kestrel::test
