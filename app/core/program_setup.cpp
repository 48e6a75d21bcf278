#include "app/core/program_setup.h"

#include <utility>

#include "app/core/app_texts.h"
#include "app/core/device_disk_names.h"
#include "app/core/gbk_text.h"
#include "app/platform/program_files.h"
#include "handheld/builtin_port.h"

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
    setup.table = FindSubstitutionTable(files.tableFolders);
    setup.tempDirectory = files.tempDirectory;
    setup.charsets = TextCharsets{Utf8ToGbk, GbkToUtf8};
    setup.traceFile = files.traceFile;
    setup.openPort = [root = files.handheldRoot, openSerial = files.openSerialPort](
                         const PortChoice& port) -> ResultOf<std::unique_ptr<Port>> {
        if (port.kind == PortChoice::Kind::serial) return openSerial(port.name);
        return OpenBuiltInHandheld(root, DiskNameForDeviceText);
    };
    return setup;
}

}  // namespace kestrel
