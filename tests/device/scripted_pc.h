#pragma once
// A small PC for driving the virtual handheld, written from raw bytes rather
// than the project's own protocol code, so that the two sides check each
// other. Every read is bounded, so a handheld that misbehaves fails the test
// instead of hanging it.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "link/port.h"

namespace kestrel::test {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t type, const Bytes& payload);
Bytes StartPayload();                                // 100 bytes with the banner
Bytes DirectoryPayload(std::string_view directory);  // "/" + directory + NUL
Bytes NewFilePayload(std::string_view name);         // EF EF + name + NUL
Bytes OpenFilePayload(std::string_view directory, std::string_view name);
Bytes ReadRequestPayload(std::uint16_t chunkSize);
Bytes Pattern(std::size_t size);  // bytes that differ from chunk to chunk

class ScriptedPc {
  public:
    explicit ScriptedPc(Port& port, std::chrono::milliseconds bound = std::chrono::seconds(3))
        : port_(port), bound_(bound) {}

    // The next byte, or nullopt when none came within the bound or the line failed.
    std::optional<std::uint8_t> Byte();
    IoStatus LastStatus() const { return last_; }
    void Write(const Bytes& bytes);

    // Answers the greeting as a PC does: 0xB3 to every byte that does not
    // complete W, Q, X, and 'L' to the X that does.
    bool Handshake();
    // Waits for 0x05 (dropping whatever comes first when `discard`), then
    // sends the frame.
    bool SendFrame(const Bytes& frame, bool discard = false);
    // SendFrame, then the reply byte.
    std::optional<std::uint8_t> Packet(std::uint8_t type, const Bytes& payload,
                                       bool discard = false);
    // One data packet, acknowledged as a PC does (0x06 after the lead byte and,
    // for a non-empty chunk, after the checksum); nullopt when the exchange broke.
    std::optional<Bytes> ReceiveData(bool& checksumOk);

    // Session pieces; false or nullopt as soon as the handheld misbehaves.
    bool Open();  // greeting and Start
    bool SendFile(std::string_view directory, std::string_view name, const Bytes& data);
    // Directory, OpenFile, ReadRequests of 1024 (asked again after an 'X'), EndOfFile.
    std::optional<Bytes> FetchFile(std::string_view directory, std::string_view name,
                                   std::vector<std::size_t>* chunkSizes = nullptr);
    bool Close();  // EndSession and the closing byte

  private:
    Port& port_;
    std::chrono::milliseconds bound_;
    IoStatus last_ = IoStatus::ok;
};

}  // namespace kestrel::test
