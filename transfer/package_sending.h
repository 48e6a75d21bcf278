#pragma once
// Sending a package: every non-empty entry goes to the handheld as one file,
// staged in a scratch file of its own, all in one handheld session: the
// greeting before the first entry sent, Start before each, EndSession after
// the last entry sent.
//
// OpenPackage checks the package whole before any port is opened: a damaged
// one, or one with nothing to send, fails with the reason, naming the
// package, and nothing is sent. It stays open, so what is sent is what was
// checked.

#include <filesystem>
#include <string>
#include <vector>

#include "formats/package_file.h"
#include "formats/pc_file.h"
#include "transfer/transfer_run.h"

namespace kestrel {

struct CheckedPackage {
    InputFile file;
    std::string name;                   // GBK, for failures
    std::vector<PackageEntry> entries;  // those to send, in file order; never empty
};

ResultOf<CheckedPackage> OpenPackage(const std::filesystem::path& package);

Result SendPackage(TransferRun& run, CheckedPackage& package);

}  // namespace kestrel
