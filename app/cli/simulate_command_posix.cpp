// simulate: the virtual handheld on a new pseudo-terminal, until interrupted.

#include <cstdio>
#include <exception>
#include <system_error>

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/device_disk_names.h"
#include "app/program_files.h"
#include "device/handheld.h"
#include "link/pseudo_terminal.h"

namespace kestrel::cli {
int RunSimulate(const SimulateCommand& command) {
    const std::filesystem::path root =
        command.root ? std::filesystem::path(*command.root) : UserDataFolder() / "handheld";
    try {
        PseudoTerminal terminal;
        terminal.KeepSlaveOpenRaw();
        std::unique_ptr<Port> port = terminal.TakeMasterPort();
        if (!port) throw std::runtime_error("cannot use the pseudo-terminal");
        HandheldOptions options;
        options.mapName = DiskNameForDeviceText;
        VirtualHandheld handheld(root, options);

        InterruptWatcher interrupts([&port] { port->Cancel(); });
        std::printf("%s\n", terminal.SlavePath().c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "kestrel-cli: virtual handheld serving %s, files in %s\n",
                     terminal.SlavePath().c_str(), root.c_str());
        handheld.Serve(*port);
        return interrupts.Interrupted() ? kExitSuccess : kExitFailure;
    } catch (const std::exception& error) {
        PrintError(error.what());
        return kExitFailure;
    }
}

}  // namespace kestrel::cli
