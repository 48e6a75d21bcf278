#pragma once
// Sending a package: every non-empty entry goes to the handheld as one file,
// staged in a scratch file of its own, all in one handheld session: the
// greeting before the first entry sent, Start before each, EndSession after
// the last entry sent. The package is checked whole first; a damaged one, or
// one with nothing to send, sends nothing and fails with the reason, naming
// the package.

#include <filesystem>

#include "transfer/transfer_run.h"

namespace kestrel {

Result SendPackage(TransferRun& run, const std::filesystem::path& package);

}  // namespace kestrel
