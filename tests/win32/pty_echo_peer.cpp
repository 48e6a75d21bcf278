// The far end of a COM port for the Windows tests under Wine (a Linux
// program): makes a pseudo-terminal, prints its slave path as the first line,
// then sends back every byte that arrives, unchanged, until it is ended.
//
// The slave keeps the settings a new terminal has (echo, line editing,
// CR/LF translation, XON/XOFF), as a port left by another program may: the
// port under test must undo all of them for bytes to pass unchanged.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestrel {
namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "pty_echo_peer: %s: %s\n", what, std::strerror(errno));
    return 1;
}

bool WriteAll(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno == EAGAIN) {
            pollfd room{fd, POLLOUT, 0};
            ::poll(&room, 1, -1);
            continue;
        }
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

int Echo(int master) {
    unsigned char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return Fail("read");
        if (!WriteAll(master, buffer, static_cast<std::size_t>(got))) return Fail("write");
    }
}

int Run() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return Fail("pty");
    const char* slave = ::ptsname(master);
    if (slave == nullptr) return Fail("ptsname");
    // Held open for the whole run, so that the master keeps working while no
    // Windows program has the port open (between two tests).
    const int keeper = ::open(slave, O_RDWR | O_NOCTTY);
    if (keeper < 0) return Fail("open slave");
    std::printf("%s\n", slave);
    std::fflush(stdout);
    const int result = Echo(master);
    ::close(keeper);
    ::close(master);
    return result;
}

}  // namespace
}  // namespace kestrel

int main() {
    return kestrel::Run();
}
