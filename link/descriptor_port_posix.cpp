// Byte ports over POSIX descriptors: whole reads and writes, the silence
// bound, cancelling from another thread.
#include "link/descriptor_port_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {
namespace {

using Clock = std::chrono::steady_clock;

std::optional<Clock::time_point> DeadlineAfter(Silence silence) {
    if (!silence) return std::nullopt;
    const auto now = Clock::now();
    const auto wait = std::max(*silence, std::chrono::milliseconds::zero());
    if (wait >
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now)) {
        return std::nullopt;  // beyond any clock: the same as no limit
    }
    return now + wait;
}

int PollTimeout(std::optional<Clock::time_point> deadline) {
    if (!deadline) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

}  // namespace

bool SetNonBlockingAndCloseOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
    return ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

int OpenCancelPipe(CancelPipe& pipe) {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) return errno;
    pipe.readEnd.Reset(ends[0]);
    pipe.writeEnd.Reset(ends[1]);
    if (!SetNonBlockingAndCloseOnExec(ends[0]) || !SetNonBlockingAndCloseOnExec(ends[1])) {
        return errno;
    }
    return 0;
}

void UniqueFd::Reset(int fd) {
    // close() is not retried: on EINTR the descriptor is already gone on
    // Linux, and retrying could close one another thread just opened.
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

ResultOf<std::unique_ptr<Port>> MakeDescriptorPort(UniqueFd fd) {
    CancelPipe cancel;
    if (!fd.Valid() || !SetNonBlockingAndCloseOnExec(fd.Get()) || OpenCancelPipe(cancel) != 0) {
        return Result::Failed(texts::kNoPseudoTerminal, {}, LastSystemError());
    }
    return std::unique_ptr<Port>(
        std::make_unique<DescriptorPort>(std::move(fd), std::move(cancel), std::string()));
}

void DescriptorPort::Cancel() {
    if (cancelled_.exchange(true)) return;
    // Wakes a poll() in progress; the byte is never read, so every later wait
    // sees it too.
    const std::uint8_t signal = 1;
    RetryOnInterrupt([&] { return ::write(cancel_.writeEnd.Get(), &signal, 1); });
}

Result DescriptorPort::Failure(Direction direction, std::error_code error) const {
    return direction == Direction::in ? ReadFailed(name_, error) : WriteFailed(name_, error);
}

// Waits until the descriptor is ready for `direction`: ok, or why not.
Result DescriptorPort::Wait(Direction direction, Deadline deadline) {
    const short events = direction == Direction::in ? POLLIN : POLLOUT;
    for (;;) {
        if (cancelled_.load()) return PortCancelled();
        pollfd watched[2] = {{fd_.Get(), events, 0}, {cancel_.readEnd.Get(), POLLIN, 0}};
        const int ready = ::poll(watched, 2, PollTimeout(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Failure(direction, LastSystemError());
        }
        if (watched[1].revents != 0) return PortCancelled();
        if ((watched[0].revents & events) != 0) return Result::Ok();
        // A hang-up with nothing left to read: the far end is gone (a pulled
        // adapter, a closed peer), which no errno tells.
        if ((watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return Failure(direction, {});
        if (deadline && Clock::now() >= *deadline) return PortSilent(name_);
    }
}

Result DescriptorPort::Write(std::span<const std::uint8_t> bytes) {
    if (cancelled_.load()) return PortCancelled();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_.Get(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return Failure(Direction::out, {});
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return Failure(Direction::out, LastSystemError());
        }
        if (Result room = Wait(Direction::out, std::nullopt); !room.IsOk()) return room;
    }
    return Result::Ok();
}

Result DescriptorPort::Read(std::span<std::uint8_t> bytes, Silence silence) {
    if (cancelled_.load()) return PortCancelled();
    std::size_t got = 0;
    Deadline deadline = DeadlineAfter(silence);
    while (got < bytes.size()) {
        if (Result waited = Wait(Direction::in, deadline); !waited.IsOk()) return waited;
        const ssize_t n = ::read(fd_.Get(), bytes.data() + got, bytes.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            deadline = DeadlineAfter(silence);  // the bound counts from the latest byte
            continue;
        }
        // End of file on a terminal is a hang-up; EIO is what a pulled
        // adapter or a closed peer gives.
        if (n == 0) return Failure(Direction::in, {});
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            return Failure(Direction::in, LastSystemError());
        }
    }
    return Result::Ok();
}

}  // namespace kestrel
