#include "link/port_finder.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "link/link_texts.h"
#include "link/packet.h"

namespace kestrel {
namespace {

constexpr std::chrono::milliseconds kListenStep{100};

// A port whose first reads return bytes already taken from it.
class PrefacedPort final : public Port {
  public:
    PrefacedPort(std::unique_ptr<Port> inner, std::deque<std::uint8_t> preface)
        : inner_(std::move(inner)), preface_(std::move(preface)) {}

    Result Write(std::span<const std::uint8_t> bytes) override { return inner_->Write(bytes); }
    Result Read(std::span<std::uint8_t> bytes, Silence silence) override {
        std::size_t taken = 0;
        while (taken < bytes.size() && !preface_.empty()) {
            bytes[taken++] = preface_.front();
            preface_.pop_front();
        }
        if (taken == bytes.size()) return Result::Ok();
        return inner_->Read(bytes.subspan(taken), silence);
    }
    void Cancel() override { inner_->Cancel(); }

  private:
    std::unique_ptr<Port> inner_;
    std::deque<std::uint8_t> preface_;  // read only by the reading thread
};

struct Listener {
    std::string name;
    std::unique_ptr<Port> port;
};

}  // namespace

ResultOf<FoundPort> FindGreetingPort(const std::vector<std::string>& names,
                                     const SerialOpener& open, const std::function<bool()>& stop) {
    std::vector<Listener> listeners;
    std::string lastName;  // of the last port that would not open, and the OS's error
    std::error_code lastError;
    for (const std::string& name : names) {
        ResultOf<std::unique_ptr<Port>> opened = open(name);
        if (opened.IsOk()) {
            listeners.push_back({name, std::move(opened).Value()});
        } else {
            lastName = texts::PortName(name);
            lastError = opened.Failure().Error();
        }
    }
    if (listeners.empty()) {
        const std::string why =
            std::string(texts::kHandheldNotFound).append(texts::kNoPortToSearch);
        return Result::Failed(why, lastName, lastError);
    }
    std::atomic<int> winner{-1};
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < listeners.size(); ++i) {
            threads.emplace_back([&, i] {
                Port& port = *listeners[i].port;
                while (winner.load() < 0 && !stop()) {
                    std::uint8_t byte = 0;
                    const Result read = port.Read(std::span(&byte, 1), kListenStep);
                    if (read.GetKind() == Result::Kind::timedOut) continue;
                    if (!read.IsOk()) return;  // this port is of no use
                    int none = -1;
                    if (byte == control::kGreetW &&
                        winner.compare_exchange_strong(none, static_cast<int>(i))) {
                        return;
                    }
                }
            });
        }
    }  // every listener has stopped by now
    if (winner.load() < 0) {
        if (stop()) return Result::Cancelled(texts::kCancelled);
        return Result::Failed(texts::kHandheldNotFound);
    }
    Listener& chosen = listeners[static_cast<std::size_t>(winner.load())];
    return FoundPort{std::make_unique<PrefacedPort>(std::move(chosen.port),
                                                    std::deque<std::uint8_t>{control::kGreetW}),
                     chosen.name};  // the other ports close as `listeners` goes
}

}  // namespace kestrel
