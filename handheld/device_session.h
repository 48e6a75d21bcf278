#pragma once
// What the handheld does with each PC packet once it has arrived whole: the
// session state (opened by Start, the current directory, the open files) over
// a DeviceFiles store. No line I/O here; the caller sends the replies.
//
// The rules it keeps:
// - Start opens the session (again, in a package) at the root directory and
//   closes any open file; every other packet with a payload is refused until
//   a Start has come.
// - Directory sets the current directory ("" is the root); NewFile (marked EF
//   EF) starts a file there; Data (1 to 1024 bytes) appends to it; EndOfFile
//   closes whatever is open and puts the new file in place of the old one,
//   refused when the file could not be written whole. A file that no
//   EndOfFile ends (the session started again, ended or dropped) is thrown
//   away and the old one kept.
// - OpenFile must name the current directory's first byte (0 for the root)
//   and an existing file; ReadRequest (a chunk size above 0) yields the next
//   chunk of it, shorter than asked at the end of the file.
// - EndSession closes everything and ends the session.
// A packet whose checksum failed is refused without being acted on.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "handheld/device_files.h"
#include "handheld/pc_packet.h"

namespace kestrel {

// A file the session wrote (the PC sent it) or read (the PC fetched it).
struct FileActivity {
    bool written = false;
    std::string directory;  // GBK, "" for the root
    std::string name;       // GBK
    std::uint64_t bytes = 0;
};

struct Answer {
    bool accepted = false;
    std::optional<std::vector<std::uint8_t>> chunk;  // for an accepted ReadRequest
    bool endSession = false;
};

class DeviceSession {
  public:
    explicit DeviceSession(DeviceFiles& files) : files_(files) {}

    Answer Handle(const PcPacket& packet);

    // Forgets a session that was dropped: closes the files, waits for Start.
    void Reset();

    // The files written and read since the last call, in order.
    std::vector<FileActivity> TakeActivity() {
        writing_ = reading_ = std::nullopt;
        return std::exchange(activity_, {});
    }

  private:
    bool Start();
    bool ChangeDirectory(const PcPacket& packet);
    bool NewFile(const PcPacket& packet);
    bool Data(const PcPacket& packet);
    bool OpenFile(const PcPacket& packet);
    std::optional<std::vector<std::uint8_t>> ReadRequest(const PcPacket& packet);

    DeviceFiles& files_;
    bool started_ = false;
    bool fileLost_ = false;  // the last EndOfFile was refused: its file is not kept
    std::string directory_;
    std::vector<FileActivity> activity_;
    std::optional<std::size_t> writing_;  // in activity_, the file open for writing
    std::optional<std::size_t> reading_;
};

}  // namespace kestrel
