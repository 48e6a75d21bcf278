#include "handheld/builtin_port.h"

#include <thread>
#include <utility>

#include "handheld/handheld.h"
#include "link/link_texts.h"
#include "link/memory_port.h"

namespace kestrel {
namespace {

class BuiltInHandheldPort final : public Port {
  public:
    BuiltInHandheldPort(std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> line,
                        std::unique_ptr<VirtualHandheld> handheld)
        : pcEnd_(std::move(line.first)),
          deviceEnd_(std::move(line.second)),
          handheld_(std::move(handheld)),
          serving_([this] { handheld_->Serve(*deviceEnd_); }) {}

    ~BuiltInHandheldPort() override {
        pcEnd_->HangUp();
        // A handheld in the middle of a write or a greeting pause stops too.
        deviceEnd_->Cancel();
        serving_.join();
    }

    Result Write(std::span<const std::uint8_t> bytes) override { return pcEnd_->Write(bytes); }
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override {
        return pcEnd_->Read(bytes, silence);
    }
    void Cancel() override { pcEnd_->Cancel(); }

  private:
    std::unique_ptr<MemoryPort> pcEnd_;
    std::unique_ptr<MemoryPort> deviceEnd_;
    std::unique_ptr<VirtualHandheld> handheld_;
    std::thread serving_;  // last: starts once everything it uses exists
};

}  // namespace

ResultOf<std::unique_ptr<Port>> OpenBuiltInHandheld(const std::filesystem::path& root,
                                                    NameMapper map) {
    ResultOf<DeviceFiles> files = DeviceFiles::Open(root, std::move(map));
    if (!files.IsOk()) {
        const Result& failure = files.Failure();
        return Result::Failed(
            texts::CannotOpenPort(texts::kBuiltInHandheld) + std::string(failure.Action()),
            failure.Subject(), failure.Error());
    }
    auto line = MakeMemoryPortPair();
    HandheldOptions options;
    // A hang-up fault is never planned here, but if one were it should look
    // like a pulled cable to the PC.
    options.hangUp = [deviceEnd = line.second.get()] { deviceEnd->HangUp(); };
    auto handheld = std::make_unique<VirtualHandheld>(std::move(files).Value(), std::move(options));
    return std::unique_ptr<Port>(
        std::make_unique<BuiltInHandheldPort>(std::move(line), std::move(handheld)));
}

}  // namespace kestrel
