#pragma once
// Sending a package: every non-empty entry goes to the handheld as one file,
// staged in TempFile, all in one handheld session: the greeting before the
// first entry sent, Start before each, EndSession and success after the last
// entry sent. The package is checked whole first; a damaged one sends nothing.
// Every failure ends in AbortTransfer.

#include "transfer/transfer_run.h"

namespace kestrel {

void SendPackage(TransferRun& run);

}  // namespace kestrel
