#pragma once
// Why a picked file or a request from the three boxes was refused. The
// dialog refuses silently; the command line shows RefusalText. Callers decide.

#include <string_view>

namespace kestrel {

enum class Refusal {
    noPcFile,          // the picked path names no file
    pcFileNameNotGbk,  // the picked file's name has characters GBK cannot hold
    emptyPcPath,
    emptyDeviceName,
    emptyDeviceDirectory,
    spaceInDeviceName,
    spaceInDeviceDirectory,
    deviceNameTooLong,       // over 14 bytes of GBK
    deviceDirectoryTooLong,  // over 14 bytes of GBK
    deviceNameNotGbk,
    deviceDirectoryNotGbk,
    nameForSeveralFiles,  // one device name given for several files
    packageWithOthers,    // a package among several files: it goes alone
};

// The status text (GBK) that says why; never empty.
std::string_view RefusalText(Refusal refusal);

}  // namespace kestrel
