#pragma once
// A scripted handheld for transfer tests: the handheld's bytes for a whole
// run are queued on an in-memory line before the run starts (the protocol is
// half-duplex, so the PC consumes them in order), and everything the PC wrote
// is read back afterwards for a byte-for-byte comparison.

#include <memory>
#include <string_view>

#include "link/memory_port.h"
#include "tests/support/bytes.h"
#include "tests/support/recording_status.h"
#include "tests/support/scratch_dir.h"
#include "transfer/transfer_worker.h"

namespace kestrel::test {

// Handheld side.
Bytes Greeting();                        // W Q X
Bytes Accept();                          // 05 'O': ready, then accepted
Bytes DataPacket(const Bytes& data);     // 08, length, data, checksum
Bytes BadDataPacket(const Bytes& data);  // the same with a wrong checksum
inline constexpr std::uint8_t kClosingByte = 0x00;

// PC side: a frame as the PC should send it.
Bytes Frame(std::uint8_t type, const Bytes& payload);
Bytes StartFrame();
Bytes DirectoryFrame(std::string_view directory);
Bytes NewFileFrame(std::string_view name);
Bytes ReadRequestFrame();

class ScriptedLine {
  public:
    ScriptedLine();

    void Handheld(const Bytes& bytes);
    TransferOutcome Run(TransferRequest request);
    Bytes PcWrote();

    RecordingStatus status;
    ScratchDir dir;
    TransferSetup setup;

  private:
    std::unique_ptr<MemoryPort> pcEnd_;
    std::unique_ptr<MemoryPort> handheldEnd_;
};

TransferRequest Download(const std::filesystem::path& pcPath, std::string_view directory,
                         std::string_view name);
TransferRequest Upload(const std::filesystem::path& pcPath, std::string_view directory,
                       std::string_view name);

}  // namespace kestrel::test
