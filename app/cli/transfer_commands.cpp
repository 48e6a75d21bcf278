// send and receive: the arguments made a request by the front-end core,
// then one run on a worker thread, cancelled by Ctrl-C.

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/core/port_list.h"
#include "app/core/program_setup.h"
#include "app/core/request_form.h"
#include "app/core/transfer_thread.h"

namespace kestrel::cli {
namespace {

// Words arrive as UTF-8 on every platform; paths and boxes take the
// platform's own text (UTF-16 on Windows), converted as UTF-8 so that no
// character is lost to a narrow code page on the way.
UserText FromUtf8(const std::string& utf8) {
    const std::u8string units(utf8.begin(), utf8.end());
    return std::filesystem::path(units).native();
}

std::optional<UserText> FromUtf8(const std::optional<std::string>& utf8) {
    if (!utf8) return std::nullopt;
    return FromUtf8(*utf8);
}

int Run(Direction direction, const Arguments& arguments, const std::string& port,
        const std::optional<std::string>& trace, const std::string& commandLine) {
    ResultOf<TransferRequest> request = RequestFromArguments(direction, arguments, PortNamed(port));
    if (!request.IsOk()) {
        PrintGbkLine(request.Reason());
        return kExitUsage;
    }
    ConsoleStatus status;
    // The watcher comes first: every thread made after it leaves Ctrl-C to it.
    auto cancel = std::make_shared<CancelSwitch>();
    const InterruptWatcher interrupts([cancel] { cancel->Cancel(); });
    ProgramFiles files = InstalledProgramFiles();
    if (trace) files.traceFile = FromUtf8(*trace);
    TransferSetup setup = LoadSetup(files);
    setup.traceCommand = commandLine;
    TransferThread run(std::move(request).Value(), std::move(setup), status, {}, cancel);
    if (run.Wait().IsOk()) return kExitSuccess;
    return interrupts.ExitStatus().value_or(kExitFailure);
}

}  // namespace

int RunSend(const SendCommand& command) {
    Arguments arguments{{},
                        FromUtf8(command.directory),
                        FromUtf8(command.name),
                        TextHandling{command.keepBytes, false}};
    for (const std::string& file : command.files) arguments.files.emplace_back(FromUtf8(file));
    return Run(Direction::send, arguments, command.port, command.trace, command.commandLine);
}

int RunReceive(const ReceiveCommand& command) {
    return Run(Direction::receive,
               Arguments{{FromUtf8(command.file)},
                         FromUtf8(command.directory),
                         FromUtf8(command.name),
                         TextHandling{false, command.utf8}},
               command.port, command.trace, command.commandLine);
}

int RunPorts() {
    const std::vector<std::string> ports = ListSerialPorts();
    if (ports.empty()) PrintError("no serial ports found");
    for (const std::string& port : ports) PrintText(port + "\n");
    return kExitSuccess;
}

}  // namespace kestrel::cli
