// send and receive: a request checked as the dialog checks its boxes, then
// one transfer run on this thread, cancelled by Ctrl-C.

#include <cstdio>
#include <variant>

#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/interrupt.h"
#include "app/device_naming.h"
#include "app/program_files.h"
#include "app/request_form.h"
#include "formats/substitution_table.h"
#include "transfer/transfer_texts.h"
#include "transfer/transfer_worker.h"

namespace kestrel::cli {
namespace {

int Refuse(Refusal refusal) {
    PrintGbkLine(RefusalText(refusal));
    return kExitUsage;
}

int Run(TransferRequest request) {
    TransferSetup setup;
    const TableLoad table = FindSubstitutionTable(TableFolders());
    if (table.table) {
        setup.table = &*table.table;
    } else {
        setup.missingTableName = table.file;
    }
    ConsoleStatus status;
    CancelSwitch cancel;
    InterruptWatcher interrupts([&cancel] { cancel.Cancel(); });
    const TransferOutcome outcome = RunTransfer(std::move(request), setup, status, cancel);
    return outcome == TransferOutcome::succeeded ? kExitSuccess : kExitFailure;
}

// Words arrive as UTF-8 on every platform; paths and boxes take the
// platform's own text (UTF-16 on Windows), converted as UTF-8 so that no
// character is lost to a narrow code page on the way.
UserText FromUtf8(const std::string& utf8) {
    const std::u8string units(utf8.begin(), utf8.end());
    return std::filesystem::path(units).native();
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(FromUtf8(utf8));
}

std::variant<AcceptedRequest, Refusal> ReadBoxes(const std::string& file, UserText name,
                                                 UserText directory) {
    return ReadRequestForm(RequestBoxes{FromUtf8(file), std::move(name), std::move(directory)});
}

}  // namespace

int RunSend(const SendCommand& command) {
    // The proposal works in GBK; the boxes take user text, as a dialog's would.
    const auto proposal = ProposeDeviceNames(PathFromUtf8(command.file));
    UserText name;
    UserText directory;
    bool package = false;
    if (const auto* names = std::get_if<ProposedNames>(&proposal)) {
        package = names->deviceName == texts::kPackageName;
        name = FromGbk(names->deviceName).value_or(UserText());
        directory = FromGbk(names->deviceDirectory).value_or(UserText());
    } else {
        const Refusal refusal = std::get<Refusal>(proposal);
        // A name that GBK cannot hold matters only when it is to be proposed.
        if (refusal != Refusal::pcFileNameNotGbk || !command.name || !command.directory) {
            return Refuse(refusal);
        }
    }
    if (command.name && !package) name = FromUtf8(*command.name);  // a .pac goes entry by entry
    if (command.directory) directory = FromUtf8(*command.directory);
    const auto form = ReadBoxes(command.file, name, directory);
    if (const auto* refusal = std::get_if<Refusal>(&form)) return Refuse(*refusal);
    const auto& accepted = std::get<AcceptedRequest>(form);
    return Run(TransferRequest{command.port, TransferMode::down, accepted.pcPath,
                               accepted.deviceName, accepted.deviceDirectory});
}

int RunReceive(const ReceiveCommand& command) {
    const auto form = ReadBoxes(command.file, FromUtf8(command.name), FromUtf8(command.directory));
    if (const auto* refusal = std::get_if<Refusal>(&form)) return Refuse(*refusal);
    const auto& accepted = std::get<AcceptedRequest>(form);
    return Run(TransferRequest{command.port, TransferMode::up, accepted.pcPath, accepted.deviceName,
                               accepted.deviceDirectory});
}

int RunPorts() {
    for (const std::string& port : ListSerialPorts()) PrintText(port + "\n");
    return kExitSuccess;
}

}  // namespace kestrel::cli
