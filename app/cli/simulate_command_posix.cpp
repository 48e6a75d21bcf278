// simulate: the virtual handheld on a new pseudo-terminal, until interrupted.

#include <cstdio>
#include <exception>
#include <system_error>

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/cli/program_files.h"
#include "app/gbk_text.h"
#include "device/handheld.h"
#include "link/pseudo_terminal.h"

namespace kestrel::cli {
namespace {

// Device names are GBK; on disk they are the user's own text, so the
// handheld's folders can be browsed like any other.
std::optional<std::filesystem::path> GbkToDiskName(std::string_view gbk) {
    auto text = FromGbk(gbk);
    if (!text) return std::nullopt;
    return std::filesystem::path(*text);
}

}  // namespace

int RunSimulate(const SimulateCommand& command) {
    const std::filesystem::path root =
        command.root ? std::filesystem::path(*command.root) : UserDataFolder() / "handheld";
    try {
        PseudoTerminal terminal;
        terminal.KeepSlaveOpenRaw();
        std::unique_ptr<Port> port = terminal.TakeMasterPort();
        if (!port) throw std::runtime_error("cannot use the pseudo-terminal");
        HandheldOptions options;
        options.mapName = GbkToDiskName;
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
