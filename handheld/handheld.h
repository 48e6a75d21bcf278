#pragma once
// The virtual handheld: the device's side of the link protocol, serving the
// files kept in a folder on the PC (see device_files.h), for tests in-process
// over a MemoryPort and for the command line over a pseudo-terminal.
//
// The handheld drives the exchange. A session runs: the greeting (greeting.h);
// then for every PC packet, 0x05, the packet, and for a packet with a payload
// one reply byte, 'O' or 'X' (empty packets get none); an accepted ReadRequest
// is followed by a data packet (0x08, the PC's 0x06, the length, the data and
// its checksum, the PC's 0x06); after an 'X' to a ReadRequest the PC's bare
// CF CB are consumed. EndSession is answered with the closing byte 0x04 (end
// of transmission) and ends the session.
//
// ServeSession() blocks for one session and says how it ended; Serve() serves
// sessions one after another until the port fails or is cancelled (or a
// hang-up or go-silent fault ends the connection). A PC silent for
// `pcSilence` mid-session drops the session, so a PC that aborted does not
// leave the handheld stuck; Serve() then greets again.
//
// One thread serves; GetRecord() may be called from any thread.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "handheld/device_files.h"
#include "handheld/device_session.h"
#include "handheld/faults.h"
#include "handheld/record.h"
#include "link/port.h"

namespace kestrel {

struct HandheldOptions {
    std::chrono::milliseconds greetingRepeat{250};
    std::chrono::milliseconds pcSilence{5000};
    std::vector<Fault> faults;
    std::function<void()> hangUp;  // run by a hang-up fault, e.g. to hang up a MemoryPort
    std::uint8_t wrongReply = 0x3F;
    std::vector<std::uint8_t> noise = {0x00, 0x7F, 0xFF};
    // The handheld's own work on each PC packet before it answers (flash
    // writes and the like), for benchmarks over a paced line.
    std::chrono::microseconds packetWork{0};
    // Told of every session as it ends, on the serving thread.
    std::function<void(SessionEnd end, const std::vector<FileActivity>& files)> onSessionEnd;
};

std::string_view SessionEndName(SessionEnd end);

class VirtualHandheld {
  public:
    explicit VirtualHandheld(DeviceFiles files, HandheldOptions options = {});
    VirtualHandheld(const VirtualHandheld&) = delete;
    VirtualHandheld& operator=(const VirtualHandheld&) = delete;

    SessionEnd ServeSession(Port& port);
    SessionEnd Serve(Port& port);

    HandheldRecord GetRecord() const;

  private:
    using Step = std::optional<SessionEnd>;  // nullopt: the session goes on

    SessionEnd RunSession(Port& port);
    Step ServePacket(Port& port);
    Step ReadPacket(Port& port, PcPacket& packet);
    Step Respond(Port& port, const PcPacket& packet, std::size_t index);
    Step Reply(Port& port, const PcPacket& packet, std::uint8_t reply);
    Step SendChunk(Port& port, const std::vector<std::uint8_t>& chunk);
    Step ExpectFromPc(Port& port, std::span<const std::uint8_t> expected) const;
    void Record(const PcPacket& packet);

    HandheldOptions options_;
    FaultPlan faults_;
    DeviceFiles files_;
    DeviceSession session_;
    std::size_t packetsSeen_ = 0;  // the index of the next PC packet
    bool corruptNextChunk_ = false;

    mutable std::mutex recordMutex_;
    HandheldRecord record_;
};

}  // namespace kestrel
