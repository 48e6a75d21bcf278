// Pseudo-terminals: a master for the virtual handheld, a slave path for the PC side.
#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "link/pseudo_terminal.h"

namespace kestrel {

namespace {

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void MakeRaw(termios& settings) {
    settings.c_iflag = 0;
    settings.c_oflag = 0;
    settings.c_lflag = 0;
    const tcflag_t frame = CSIZE | PARENB | CSTOPB;
    settings.c_cflag = (settings.c_cflag & ~frame) | CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

}  // namespace

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
    if (!master_.Valid()) ThrowLastError("posix_openpt");
    if (::fcntl(master_.Get(), F_SETFD, FD_CLOEXEC) != 0) ThrowLastError("fcntl");
    if (::grantpt(master_.Get()) != 0) ThrowLastError("grantpt");
    if (::unlockpt(master_.Get()) != 0) ThrowLastError("unlockpt");
    // ptsname() is not reentrant, but ptsname_r() is not available everywhere;
    // the name is copied at once.
    const char* path = ::ptsname(master_.Get());
    if (path == nullptr) ThrowLastError("ptsname");
    slavePath_ = path;
}

std::unique_ptr<Port> PseudoTerminal::TakeMasterPort() {
    if (!master_.Valid()) return nullptr;
    return MakeDescriptorPort(std::move(master_));
}

void PseudoTerminal::KeepSlaveOpenRaw() {
    if (keeper_.Valid()) return;
    UniqueFd slave(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.Valid()) ThrowLastError("open slave");
    termios settings{};
    if (::tcgetattr(slave.Get(), &settings) != 0) ThrowLastError("tcgetattr");
    MakeRaw(settings);
    if (::tcsetattr(slave.Get(), TCSANOW, &settings) != 0) ThrowLastError("tcsetattr");
    keeper_ = std::move(slave);
}

}  // namespace kestrel
