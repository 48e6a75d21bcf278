// simulate needs a pseudo-terminal, which Windows does not have.

#include "app/cli/commands.h"
#include "app/cli/console.h"

namespace kestrel::cli {

int RunSimulate(const SimulateCommand&) {
    PrintError(
        "simulate runs on Linux and macOS only: it serves the virtual handheld on a "
        "pseudo-terminal, which Windows does not have");
    return kExitFailure;
}

}  // namespace kestrel::cli
