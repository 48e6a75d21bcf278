#include "app/core/program_setup.h"

#include <utility>

#include "app/core/app_texts.h"
#include "app/core/device_disk_names.h"
#include "app/core/gbk_text.h"
#include "app/platform/program_files.h"
#include "device/builtin_port.h"

namespace kestrel {

ProgramFiles InstalledProgramFiles() {
    ProgramFiles files;
    files.tableFolders = TableFolders();
    files.handheldRoot = UserDataFolder() / "handheld";
    files.traceFile = TraceFileFromEnvironment();
    return files;
}

TransferSetup LoadSetup(const ProgramFiles& files) {
    TransferSetup setup;
    TableLoad table = FindSubstitutionTable(files.tableFolders);
    setup.table = std::move(table.table);
    if (!setup.table) setup.missingTableName = table.file;
    // Named with the folder where a user puts it: the last searched is the
    // installed data folder (POSIX) or the user's own (Windows).
    if (table.problem == TableProblem::kMissing && !files.tableFolders.empty()) {
        setup.missingTableName = files.tableFolders.back() / table.file;
    }
    setup.tempDirectory = files.tempDirectory;
    setup.charsets = TextCharsets{Utf8ToGbk, GbkToUtf8};
    setup.traceFile = files.traceFile;
    setup.openPort = [root = files.handheldRoot,
                      openSerial = files.openSerialPort](const PortChoice& port) -> OpenedPort {
        if (port.kind == PortChoice::Kind::serial) return openSerial(port.name);
        std::unique_ptr<Port> handheld = OpenBuiltInHandheld(root, DiskNameForDeviceText);
        if (!handheld) return {nullptr, std::string(texts::kBuiltInHandheldNoFolder)};
        return {std::move(handheld), {}};
    };
    return setup;
}

}  // namespace kestrel
