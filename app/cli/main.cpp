// kestrel-cli: the transfers of the dialog from the command line, and the
// virtual handheld for trying them without a handheld.

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel::cli;
    const std::vector<std::string> words(argv + 1, argv + argc);
    const Command command = ParseCommandLine(words);
    return std::visit(Overloaded{
                          [](const SendCommand& send) { return RunSend(send); },
                          [](const ReceiveCommand& receive) { return RunReceive(receive); },
                          [](const PortsCommand&) { return RunPorts(); },
                          [](const SimulateCommand& simulate) { return RunSimulate(simulate); },
                          [](const HelpCommand&) {
                              std::fputs(HelpText(), stdout);
                              return kExitSuccess;
                          },
                          [](const UsageError& error) {
                              PrintError(error.message + " (see kestrel-cli --help)");
                              return kExitUsage;
                          },
                      },
                      command);
}
