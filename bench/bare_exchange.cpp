// The floor under a transfer: the bytes of each 1024-byte chunk exchanged in
// the protocol's order and sizes, by bare loops on both ends.
#include <array>
#include <vector>

#include "bench/bench_files.h"
#include "bench/paced_transfer.h"

namespace kestrel::bench {
namespace {

constexpr std::size_t kChunks = kSampleSize / 1024;

// A chunk as the line carries it: who sends how many bytes, in turn.
struct Step {
    bool fromHandheld;
    std::size_t bytes;
};

// Sending: 0x05; type, length, 1024 bytes, checksum; 'O'.
constexpr std::array<Step, 3> kSendSteps = {{{true, 1}, {false, 1028}, {true, 1}}};
// Receiving: 0x05; the request; 'O'; 0x08; 0x06; length; data and checksum;
// 0x06. The PC reads the length and the data apart, as the protocol does.
constexpr std::array<Step, 8> kReceiveSteps = {
    {{true, 1}, {false, 6}, {true, 1}, {true, 1}, {false, 1}, {true, 2}, {true, 1025}, {false, 1}}};

// Plays one side of every chunk: writes its own steps, reads the other's.
// A bound no healthy exchange comes near, so that a failed end cannot hang
// the other.
constexpr std::chrono::seconds kSilence{5};

template <std::size_t N>
bool Play(Port& port, const std::array<Step, N>& steps, bool handheld) {
    std::vector<std::uint8_t> buffer(1100, 0x20);
    for (std::size_t chunk = 0; chunk < kChunks; ++chunk) {
        for (const Step& step : steps) {
            const std::span<std::uint8_t> bytes(buffer.data(), step.bytes);
            const Result status =
                step.fromHandheld == handheld ? port.Write(bytes) : port.Read(bytes, kSilence);
            if (!status.IsOk()) return false;
        }
    }
    return true;
}

template <std::size_t N>
TransferFigures Exchange(const TransferCase& run, const std::array<Step, N>& steps) {
    PacedLine line(run.carrier, run.pace);
    line.StartHandheld([&steps](Port& port) { Play(port, steps, true); });
    return MeasurePc(
        line,
        [&line, &steps] {
            const ResultOf<std::unique_ptr<Port>> pc = line.OpenPcEnd();
            return pc.IsOk() && Play(*pc.Value(), steps, false);
        },
        kChunks * 1024);
}

}  // namespace

TransferFigures RunBareExchange(const TransferCase& run) {
    if (run.mode == TransferKind::send) return Exchange(run, kSendSteps);
    return Exchange(run, kReceiveSteps);
}

}  // namespace kestrel::bench
