#include "tests/support/handheld_rig.h"

#include "link/memory_port.h"

namespace kestrel::test {

HandheldLine MemoryLine() {
    auto [pc, handheld] = MakeMemoryPortPair();
    auto pcEnd = std::make_shared<std::unique_ptr<Port>>(std::move(pc));
    return {std::move(handheld), [pcEnd](const PortChoice&) {
                return OpenedPort{std::move(*pcEnd), {}};
            }};
}

HandheldRig::HandheldRig(HandheldOptions options, HandheldLine line,
                         std::chrono::milliseconds pcSilenceBound)
    : handheld_(dir / "device",
                [&] {
                    options.greetingRepeat =
                        std::chrono::milliseconds(20);  // a pty flushes what came first
                    return std::move(options);
                }()),
      handheldEnd_(std::move(line.handheldEnd)) {
    setup.openPort = std::move(line.openPc);
    setup.tempDirectory = dir / "temp";
    setup.silenceBound = pcSilenceBound;
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

TransferEnd HandheldRig::Run(const TransferRequest& request) {
    CancelSwitch cancel;
    return RunTransfer(request, setup, status, cancel);
}

TransferRequest SendRequest(const std::filesystem::path& pcPath, std::string_view directory,
                            std::string_view name, FileType type) {
    TransferFile file{pcPath, type, std::string(directory), directory.empty(), std::string(name)};
    return {TransferKind::send, {PortChoice::Kind::serial, "test"}, {file}};
}

TransferRequest ReceiveRequest(const std::filesystem::path& pcPath, std::string_view directory,
                               std::string_view name, FileType type) {
    TransferRequest request = SendRequest(pcPath, directory, name, type);
    request.kind = TransferKind::receive;
    return request;
}

}  // namespace kestrel::test
