// The far end of the port under test (a Linux program, also for the Windows
// tests under Wine): makes a pseudo-terminal, prints its slave path as the
// first line, then sends back every byte that arrives until it is ended.
// The slave keeps a new terminal's settings (echo, line editing, CR/LF
// translation, XON/XOFF), as another program may leave a port: the port under
// test must undo all of them for bytes to pass unchanged.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 1;
    const char* slave = ::ptsname(master);
    // Held open for the whole run: without it the master fails whenever no
    // program has the slave open, between two tests.
    if (slave == nullptr || ::open(slave, O_RDWR | O_NOCTTY) < 0) return 1;
    std::printf("%s\n", slave);
    std::fflush(stdout);
    unsigned char buffer[4096];
    for (;;) {
        ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return 1;
        for (ssize_t sent = 0, n = 0; sent < got; sent += n) {
            n = ::write(master, buffer + sent, static_cast<std::size_t>(got - sent));
            if (n < 0 && errno != EINTR) return 1;
            n = n < 0 ? 0 : n;
        }
    }
}
