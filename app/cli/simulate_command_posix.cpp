// simulate: the virtual handheld on a new pseudo-terminal, until interrupted.

#include <cstdio>
#include <exception>
#include <string>
#include <system_error>

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/core/device_disk_names.h"
#include "app/platform/program_files.h"
#include "device/handheld.h"
#include "link/pseudo_terminal.h"

namespace kestrel::cli {
namespace {

// "PC sent 文本文件/NOTE.txt (29 bytes)", GBK like the names in it.
std::string SessionLine(int number, SessionEnd end, const std::vector<FileActivity>& files) {
    std::string line = "session " + std::to_string(number) + ": ";
    if (files.empty()) return line + "nothing moved (" + std::string(SessionEndName(end)) + ")";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileActivity& file = files[i];
        if (i > 0) line += ", ";
        line += file.written ? "PC sent " : "PC fetched ";
        if (!file.directory.empty()) line += file.directory + "/";
        line += file.name + " (" + std::to_string(file.bytes) + " bytes)";
    }
    if (end != SessionEnd::closed) line += ", then " + std::string(SessionEndName(end));
    return line;
}

}  // namespace

int RunSimulate(const SimulateCommand& command) {
    const std::filesystem::path root =
        command.root ? std::filesystem::path(*command.root) : UserDataFolder() / "handheld";
    int sessions = 0;
    HandheldOptions options;
    options.mapName = DiskNameForDeviceText;
    options.onSessionEnd = [&sessions](SessionEnd end, const std::vector<FileActivity>& files) {
        // The session cut short by the interrupt that ends the program is no news.
        if (end == SessionEnd::cancelled && files.empty()) return;
        PrintGbkErrorLine(SessionLine(++sessions, end, files));
    };
    std::optional<VirtualHandheld> handheld;
    try {
        handheld.emplace(root, options);
    } catch (const std::filesystem::filesystem_error&) {
        PrintError("cannot keep the handheld's files in " + root.string() +
                   ": it is not a folder that can be created and written");
        return kExitFailure;
    }
    try {
        PseudoTerminal terminal;
        terminal.KeepSlaveOpenRaw();
        std::unique_ptr<Port> port = terminal.TakeMasterPort();
        if (!port) throw std::runtime_error("cannot use the pseudo-terminal");

        InterruptWatcher interrupts([&port] { port->Cancel(); });
        std::printf("%s\n", terminal.SlavePath().c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "kestrel-cli: virtual handheld serving %s, files in %s\n",
                     terminal.SlavePath().c_str(), root.c_str());
        handheld->Serve(*port);
        return interrupts.Interrupted() ? kExitSuccess : kExitFailure;
    } catch (const std::exception& error) {
        PrintError(std::string("the virtual handheld stopped: ") + error.what());
        return kExitFailure;
    }
}

}  // namespace kestrel::cli
