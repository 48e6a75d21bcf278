#include "tests/support/handheld_rig.h"

namespace kestrel::test {

using namespace std::chrono_literals;

HandheldLine MemoryLine() {
    auto [pc, handheld] = MakeMemoryPortPair();
    auto pcEnd = std::make_shared<std::unique_ptr<Port>>(std::move(pc));
    return {std::move(handheld), [pcEnd](const PortChoice&) -> ResultOf<std::unique_ptr<Port>> {
                return std::move(*pcEnd);
            }};
}

HandheldRig::HandheldRig(HandheldOptions options, HandheldLine line)
    : handheld_(Must(DeviceFiles::Open(dir / "device", KeepBytes)),
                [&] {
                    options.greetingRepeat = 20ms;  // a PC opening a pty flushes what came before
                    return std::move(options);
                }()),
      handheldEnd_(std::move(line.handheldEnd)) {
    setup.openPort = std::move(line.openPc);
    setup.tempDirectory = dir / "temp";
    setup.silenceBound = 250ms;
    std::filesystem::create_directories(dir / "temp");
    std::filesystem::create_directories(dir / "pc");
    serving_ = std::thread([this] {
        if (handheld_.Serve(*handheldEnd_) != SessionEnd::hungUp) return;
        std::lock_guard lock(portMutex_);
        handheldEnd_.reset();  // hangs the line up, as a pulled cable
    });
}

HandheldRig::~HandheldRig() {
    {
        std::lock_guard lock(portMutex_);
        if (handheldEnd_) handheldEnd_->Cancel();
    }
    serving_.join();
}

Result HandheldRig::Run(const TransferRequest& request) {
    CancelSwitch cancel;
    return RunTransfer(request, setup, status, cancel);
}

ScriptedLine::ScriptedLine() {
    HandheldLine line = MemoryLine();
    handheldEnd_ = std::move(line.handheldEnd);
    setup.openPort = std::move(line.openPc);
    setup.tempDirectory = dir.Path();
    setup.silenceBound = 200ms;
}

TransferRequest OneFile(TransferKind kind, const std::filesystem::path& pcPath,
                        std::string_view directory, std::string_view name, FileType type) {
    return {kind,
            {PortChoice::Kind::serial, "COM1"},
            {{pcPath, type, std::string(directory), directory.empty(), std::string(name)}}};
}

}  // namespace kestrel::test
