#include "device/builtin_port.h"

#include <system_error>
#include <thread>
#include <utility>

#include "device/handheld.h"
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

    IoStatus Write(std::span<const std::uint8_t> bytes) override { return pcEnd_->Write(bytes); }
    IoStatus Read(std::span<std::uint8_t> bytes, Silence silence) override {
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

std::unique_ptr<Port> OpenBuiltInHandheld(const std::filesystem::path& root, NameMapper map) {
    auto line = MakeMemoryPortPair();
    HandheldOptions options;
    options.mapName = std::move(map);
    // A hang-up fault is never planned here, but if one were it should look
    // like a pulled cable to the PC.
    options.hangUp = [deviceEnd = line.second.get()] { deviceEnd->HangUp(); };
    std::unique_ptr<VirtualHandheld> handheld;
    try {
        handheld = std::make_unique<VirtualHandheld>(root, std::move(options));
    } catch (const std::filesystem::filesystem_error&) {
        return nullptr;
    }
    return std::make_unique<BuiltInHandheldPort>(std::move(line), std::move(handheld));
}

}  // namespace kestrel
