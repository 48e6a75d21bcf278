// kestrel-cli: the transfers of the dialog from the command line, and the
// virtual handheld for trying them without a handheld.

#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/core/version.h"

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

int Main(const std::vector<std::string>& words) {
    using namespace kestrel::cli;
    const Command command = ParseCommandLine(words);
    return std::visit(Overloaded{
                          [](const SendCommand& send) { return RunSend(send); },
                          [](const ReceiveCommand& receive) { return RunReceive(receive); },
                          [](const PortsCommand&) { return RunPorts(); },
                          [](const SimulateCommand& simulate) { return RunSimulate(simulate); },
                          [](const HelpCommand&) {
                              PrintText(HelpText());
                              return kExitSuccess;
                          },
                          [](const VersionCommand&) {
                              PrintText("kestrel-cli " KESTREL_VERSION_TEXT "\n");
                              return kExitSuccess;
                          },
                          [](const UsageError& error) {
                              PrintError(error.message + " (see kestrel-cli --help)");
                              return kExitUsage;
                          },
                      },
                      command);
}

}  // namespace

int main(int argc, char** argv) {
    kestrel::cli::KeepRunningWhenOutputCloses();
    kestrel::cli::UseTheUsersLocale();
    try {
        const auto words = kestrel::cli::CommandLineWords(argc, argv);
        if (!words) {
            kestrel::cli::PrintError("the command line is not valid Unicode");
            return kestrel::cli::kExitUsage;
        }
        return Main(*words);
    } catch (const std::exception& error) {
        // Nothing may end the program without a word; the port was already put back.
        kestrel::cli::PrintError(error.what());
        return kestrel::cli::kExitFailure;
    }
}
