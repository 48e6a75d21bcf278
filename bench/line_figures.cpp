#include "bench/line_figures.h"

#include <cmath>
#include <cstdlib>

namespace kestrel::bench {

using Seconds = std::chrono::duration<double>;
using Millis = std::chrono::duration<double, std::milli>;

double CeilingRate(const ChunkCost& chunk, const LinePace& pace,
                   std::chrono::microseconds packetWork) {
    const Seconds perChunk = WireTime(chunk.lineBytes, pace) + chunk.turnarounds * pace.turnaround +
                             chunk.packets * packetWork;
    return kChunkPayload / perChunk.count();
}

double PayloadRate(const TransferFigures& figures) {
    return static_cast<double>(figures.payloadBytes) / Seconds(figures.wall).count();
}

double AddedPerTurnMs(const TransferFigures& figures) {
    if (figures.line.peerTurns == 0) return 0;
    return Millis(figures.pcTime).count() / static_cast<double>(figures.line.peerTurns);
}

double CodePerTurnMs(const TransferFigures& figures) {
    if (figures.pcCodeTurns == 0) return 0;
    return Millis(figures.pcCodeTime).count() / static_cast<double>(figures.pcCodeTurns);
}

double HandheldMs(const TransferFigures& figures) {
    return Millis(figures.wall - figures.line.lineTime - figures.pcTime).count();
}

double CpuMsPerMiB(const TransferFigures& figures) {
    const double mebibytes = static_cast<double>(figures.payloadBytes) / (1024.0 * 1024.0);
    return Millis(figures.pcCpu).count() / mebibytes;
}

std::string Grouped(double value) {
    const std::string digits = std::to_string(std::llabs(std::llround(value)));
    std::string grouped = value <= -0.5 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace kestrel::bench
