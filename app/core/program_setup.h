#pragma once
// The program's files as a transfer sees them: the substitution table, the
// scratch folder, the serial ports and the built-in virtual handheld.
//
// Promises:
// - LoadSetup looks for the table anew at every call, so a table put in
//   place while a dialog is open is used by the next run.
// - Its port opener opens serial ports through ProgramFiles::openSerialPort
//   and, for the built-in handheld, a fresh virtual handheld over the files
//   in handheldRoot, which stay there between runs.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "link/open_port.h"
#include "transfer/run_transfer.h"

namespace kestrel {

struct ProgramFiles {
    std::vector<std::filesystem::path> tableFolders;
    std::filesystem::path handheldRoot;                  // the virtual handheld's files
    std::optional<std::filesystem::path> tempDirectory;  // unset: the user's private one
    std::function<ResultOf<std::unique_ptr<Port>>(std::string_view name)> openSerialPort =
        OpenSerialPort;
    std::optional<std::filesystem::path> traceFile;  // every byte of each run written down there
};

// Where the installed program keeps them (program_files.h); a trace is
// written when the environment names a file in KESTREL_TRACE.
ProgramFiles InstalledProgramFiles();

TransferSetup LoadSetup(const ProgramFiles& files);

}  // namespace kestrel
