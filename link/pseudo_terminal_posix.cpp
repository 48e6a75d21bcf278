// Pseudo-terminals: a master for the virtual handheld, a slave path for the PC side.
#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstdlib>

#include "link/pseudo_terminal.h"
#include "status/system_words.h"
#include "text/texts.h"

namespace kestrel {

namespace {

// Why no pseudo-terminal could be had: the OS's error of the call just made.
Result NoTerminal(std::string_view path = {}) {
    return Result::Failed(texts::kNoPseudoTerminal, path, LastSystemError());
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

ResultOf<PseudoTerminal> PseudoTerminal::Open() {
    PseudoTerminal terminal;
    terminal.master_.Reset(::posix_openpt(O_RDWR | O_NOCTTY));
    const int master = terminal.master_.Get();
    if (master < 0 || ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || ::grantpt(master) != 0 ||
        ::unlockpt(master) != 0) {
        return NoTerminal();
    }
    // ptsname() is not reentrant, but ptsname_r() is not available everywhere;
    // the name is copied at once.
    const char* path = ::ptsname(master);
    if (path == nullptr) return NoTerminal();
    terminal.slavePath_ = path;
    return terminal;
}

ResultOf<std::unique_ptr<Port>> PseudoTerminal::TakeMasterPort() {
    if (!master_.Valid()) return Result::Failed(texts::kNoPseudoTerminal, slavePath_);
    return MakeDescriptorPort(std::move(master_));
}

Result PseudoTerminal::KeepSlaveOpenRaw() {
    if (keeper_.Valid()) return Result::Ok();
    UniqueFd slave(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    termios settings{};
    if (!slave.Valid() || ::tcgetattr(slave.Get(), &settings) != 0) return NoTerminal(slavePath_);
    MakeRaw(settings);
    if (::tcsetattr(slave.Get(), TCSANOW, &settings) != 0) return NoTerminal(slavePath_);
    keeper_ = std::move(slave);
    return Result::Ok();
}

}  // namespace kestrel
