#include "bench/paced_transfer.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "bench/bench_files.h"
#include "bench/latest_status.h"
#include "bench/paced_line.h"
#include "formats/text_file.h"
#include "handheld/handheld.h"
#include "transfer/run_transfer.h"

namespace kestrel::bench {
namespace {

constexpr std::size_t kPackageEntries = 4;

// What a case puts on each side, and what must be where afterwards.
struct Prepared {
    TransferRequest request;
    std::vector<std::pair<std::filesystem::path, Bytes>> expected;
};

Bytes Wrapped(const Bytes& text) {
    return Need(WrapTextBytes(text));
}

Prepared PrepareSend(const TransferCase& run, const BenchFolder& folder) {
    const auto device = folder / "device";
    Prepared prepared;
    if (run.payload == Payload::package) {
        const SamplePackage package = MakePackage(kPackageEntries, kSampleSize / kPackageEntries);
        WriteFile(folder / "pc" / "a.pac", package.bytes);
        prepared.request.kind = TransferKind::sendPackage;
        prepared.request.files.push_back({folder / "pc" / "a.pac", FileType::kOther, {}, true, {}});
        for (const PackedFile& file : package.files) {
            prepared.expected.emplace_back(device / file.directory / file.name, file.content);
        }
        return prepared;
    }
    const bool text = run.payload == Payload::text;
    const Bytes content = text ? SampleText(kSampleSize) : RandomBytes(kSampleSize, 1);
    const std::string name = text ? "a.txt" : "a.dat";
    WriteFile(folder / "pc" / name, content);
    prepared.request.files.push_back({folder / "pc" / name, FileTypeOf(name), "LAVA", false, name});
    prepared.expected.emplace_back(device / "LAVA" / name, text ? Wrapped(content) : content);
    return prepared;
}

Prepared PrepareReceive(const TransferCase& run, const BenchFolder& folder) {
    const bool text = run.payload == Payload::text;
    if (run.payload == Payload::package) throw std::invalid_argument("packages are only sent");
    const Bytes content = text ? SampleText(kSampleSize) : RandomBytes(kSampleSize, 2);
    const std::string name = text ? "a.txt" : "a.dat";
    WriteFile(folder / "device" / "LAVA" / name, text ? Wrapped(content) : content);
    Prepared prepared;
    prepared.request.kind = TransferKind::receive;
    const auto pcPath = folder / "pc" / ("back-" + name);
    prepared.request.files.push_back({pcPath, FileTypeOf(pcPath), "LAVA", false, name});
    prepared.expected.emplace_back(pcPath, content);
    std::filesystem::create_directories(folder / "pc");
    return prepared;
}

bool AllArrived(const Prepared& prepared) {
    for (const auto& [path, content] : prepared.expected) {
        if (ReadFile(path) != content) return false;
    }
    return true;
}

}  // namespace

std::string CaseName(const TransferCase& run) {
    static constexpr const char* kPayloads[] = {"plain", "text", "package"};
    std::string name = run.mode == TransferKind::send ? "send " : "receive ";
    name += kPayloads[static_cast<int>(run.payload)];
    if (run.carrier == Carrier::pseudoTerminal) name += " over pty";
    return name;
}

TransferFigures RunPacedTransfer(const TransferCase& run) {
    BenchFolder folder;
    Prepared prepared =
        run.mode == TransferKind::send ? PrepareSend(run, folder) : PrepareReceive(run, folder);
    PacedLine line(run.carrier, run.pace);
    prepared.request.port = PortChoice{PortChoice::Kind::serial, line.PortName()};

    HandheldOptions options;
    options.packetWork = run.packetWork;
    VirtualHandheld handheld(Need(DeviceFiles::Open(folder / "device", KeepBytes)), options);
    line.StartHandheld([&handheld](Port& port) { handheld.ServeSession(port); });

    TransferSetup setup;
    setup.tempDirectory = folder / "tmp";
    std::filesystem::create_directories(*setup.tempDirectory);
    setup.openPort = [&line](const PortChoice&) { return line.OpenPcEnd(); };
    LatestStatus status;
    CancelSwitch cancel;
    TransferFigures figures = MeasurePc(
        line, [&] { return RunTransfer(prepared.request, setup, status, cancel).IsOk(); },
        kSampleSize);
    // The benchmark's own check, after the measure: reading the files back
    // is no part of what a transfer costs.
    figures.ok = figures.ok && AllArrived(prepared);
    return figures;
}

}  // namespace kestrel::bench
