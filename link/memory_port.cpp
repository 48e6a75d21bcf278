#include "link/memory_port.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace kestrel {

struct MemoryPort::Line {
    std::mutex mutex;
    std::condition_variable changed;
    std::array<std::deque<std::uint8_t>, 2> inbox;  // inbox[side]: bytes for that side
    std::array<bool, 2> cancelled{false, false};
    bool hungUp = false;
};

MemoryPort::MemoryPort(std::shared_ptr<Line> line, int side)
    : line_(std::move(line)), side_(side) {}

MemoryPort::~MemoryPort() {
    HangUp();
}

void MemoryPort::HangUp() {
    {
        std::lock_guard lock(line_->mutex);
        line_->hungUp = true;
    }
    line_->changed.notify_all();
}

void MemoryPort::Cancel() {
    {
        std::lock_guard lock(line_->mutex);
        line_->cancelled[static_cast<std::size_t>(side_)] = true;
    }
    line_->changed.notify_all();
}

Result MemoryPort::Write(std::span<const std::uint8_t> bytes) {
    {
        std::lock_guard lock(line_->mutex);
        if (line_->cancelled[static_cast<std::size_t>(side_)]) return PortCancelled();
        if (line_->hungUp) return WriteFailed({});
        auto& peerInbox = line_->inbox[static_cast<std::size_t>(1 - side_)];
        peerInbox.insert(peerInbox.end(), bytes.begin(), bytes.end());
    }
    line_->changed.notify_all();
    return Result::Ok();
}

Result MemoryPort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    std::unique_lock lock(line_->mutex);
    const auto self = static_cast<std::size_t>(side_);
    auto& inbox = line_->inbox[self];
    std::size_t got = 0;
    while (got < bytes.size()) {
        // The silence bound restarts with every byte that arrives.
        auto ready = [&] { return line_->cancelled[self] || !inbox.empty() || line_->hungUp; };
        if (silence) {
            if (!line_->changed.wait_for(lock, *silence, ready)) return PortSilent({});
        } else {
            line_->changed.wait(lock, ready);
        }
        if (line_->cancelled[self]) return PortCancelled();
        if (inbox.empty()) return ReadFailed({});  // hung up and drained
        while (got < bytes.size() && !inbox.empty()) {
            bytes[got++] = inbox.front();
            inbox.pop_front();
        }
    }
    return Result::Ok();
}

std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> MakeMemoryPortPair() {
    auto line = std::make_shared<MemoryPort::Line>();
    return {std::make_unique<MemoryPort>(line, 0), std::make_unique<MemoryPort>(line, 1)};
}

}  // namespace kestrel
