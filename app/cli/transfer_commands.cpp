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

std::variant<AcceptedRequest, Refusal> ReadBoxes(const std::string& file, const std::string& name,
                                                 const std::string& directory) {
    return ReadRequestForm(RequestBoxes{file, name, directory});
}

}  // namespace

int RunSend(const SendCommand& command) {
    // The proposal works in GBK; the boxes take user text, as a dialog's would.
    const auto proposal = ProposeDeviceNames(command.file);
    std::string name;
    std::string directory;
    bool package = false;
    if (const auto* names = std::get_if<ProposedNames>(&proposal)) {
        package = names->deviceName == texts::kPackageName;
        name = FromGbk(names->deviceName).value_or("");
        directory = FromGbk(names->deviceDirectory).value_or("");
    } else {
        const Refusal refusal = std::get<Refusal>(proposal);
        // A name that GBK cannot hold matters only when it is to be proposed.
        if (refusal != Refusal::pcFileNameNotGbk || !command.name || !command.directory) {
            return Refuse(refusal);
        }
    }
    if (command.name && !package) name = *command.name;  // a .pac always goes entry by entry
    if (command.directory) directory = *command.directory;
    const auto form = ReadBoxes(command.file, name, directory);
    if (const auto* refusal = std::get_if<Refusal>(&form)) return Refuse(*refusal);
    const auto& accepted = std::get<AcceptedRequest>(form);
    return Run(TransferRequest{command.port, TransferMode::down, accepted.pcPath,
                               accepted.deviceName, accepted.deviceDirectory});
}

int RunReceive(const ReceiveCommand& command) {
    const auto form = ReadBoxes(command.file, command.name, command.directory);
    if (const auto* refusal = std::get_if<Refusal>(&form)) return Refuse(*refusal);
    const auto& accepted = std::get<AcceptedRequest>(form);
    return Run(TransferRequest{command.port, TransferMode::up, accepted.pcPath, accepted.deviceName,
                               accepted.deviceDirectory});
}

int RunPorts() {
    for (const std::string& port : ListSerialPorts()) std::printf("%s\n", port.c_str());
    return kExitSuccess;
}

}  // namespace kestrel::cli
