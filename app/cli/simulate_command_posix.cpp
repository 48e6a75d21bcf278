// simulate: the virtual handheld on a new pseudo-terminal, until interrupted.

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/core/device_disk_names.h"
#include "app/platform/program_files.h"
#include "handheld/handheld.h"
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
    options.onSessionEnd = [&sessions](SessionEnd end, const std::vector<FileActivity>& files) {
        // The session cut short by the interrupt that ends the program is no news.
        if (end == SessionEnd::cancelled && files.empty()) return;
        PrintGbkErrorLine(SessionLine(++sessions, end, files));
    };
    ResultOf<DeviceFiles> files = DeviceFiles::Open(root, DiskNameForDeviceText);
    if (!files.IsOk()) {
        PrintGbkErrorLine(files.Reason());
        return kExitFailure;
    }
    VirtualHandheld handheld(std::move(files).Value(), options);
    ResultOf<PseudoTerminal> terminal = PseudoTerminal::Open();
    Result kept = terminal.IsOk() ? terminal.Value().KeepSlaveOpenRaw() : terminal.Failure();
    ResultOf<std::unique_ptr<Port>> port =
        kept.IsOk() ? terminal.Value().TakeMasterPort() : ResultOf<std::unique_ptr<Port>>(kept);
    if (!port.IsOk()) {
        PrintGbkErrorLine(port.Reason());
        return kExitFailure;
    }
    Port& line = *port.Value();
    InterruptWatcher interrupts([&line] { line.Cancel(); });
    const std::string& slavePath = terminal.Value().SlavePath();
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "kestrel-cli: virtual handheld serving %s, files in %s\n",
                 slavePath.c_str(), root.c_str());
    handheld.Serve(line);
    // Ctrl-C is how it is meant to end; a termination request ends it as
    // shells expect (143); a line that failed on its own is a failure.
    const std::optional<int> status = interrupts.ExitStatus();
    if (!status) return kExitFailure;
    return *status == kExitInterrupted ? kExitSuccess : *status;
}

}  // namespace kestrel::cli
