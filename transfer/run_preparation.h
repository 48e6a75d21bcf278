#pragma once
// What a run settles before any port is opened or listened on: everything
// that needs no handheld. A file that cannot be sent, a damaged package or a
// PC file that cannot be received into ends the run at once, with no
// handheld kept waiting and no handheld session left open.
//
// Promises: PrepareRun reads and converts every file to send and stages
// each converted one in a scratch file of the run; opens and checks a
// package whole; checks that a receive's type can be fetched and that its
// PC file could be replaced (formats/writable_target.h). Each failure names
// its file and carries the OS's reason when it has one. Nothing of the
// user's files changes.

#include <optional>
#include <vector>

#include "formats/conversion.h"
#include "formats/staging.h"
#include "transfer/package_sending.h"
#include "transfer/transfer_request.h"

namespace kestrel {

struct PreparedRun {
    Staging staging;  // the run's scratch files, for TransferRun
    std::vector<TransferFile>
        files;  // a send's, each from where it goes (a scratch file if converted)
    bool convertedFromUtf8 = false;  // a text to send was made GBK
    std::optional<CheckedPackage> package;
};

ResultOf<PreparedRun> PrepareRun(const TransferRequest& request, const Conversions& conversions,
                                 Staging staging);

}  // namespace kestrel
