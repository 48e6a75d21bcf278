#include "app/core/refusal.h"

#include "app/core/app_texts.h"

namespace kestrel {

std::string_view RefusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::noPcFile:
            return texts::kNoPcFile;
        case Refusal::pcFileNameNotGbk:
            return texts::kPcFileNameNotGbk;
        case Refusal::emptyPcPath:
            return texts::kEmptyPcPath;
        case Refusal::emptyDeviceName:
            return texts::kEmptyDeviceName;
        case Refusal::emptyDeviceDirectory:
            return texts::kEmptyDeviceDirectory;
        case Refusal::spaceInDeviceName:
            return texts::kSpaceInDeviceName;
        case Refusal::spaceInDeviceDirectory:
            return texts::kSpaceInDeviceDirectory;
        case Refusal::deviceNameTooLong:
            return texts::kDeviceNameTooLong;
        case Refusal::deviceDirectoryTooLong:
            return texts::kDeviceDirectoryTooLong;
        case Refusal::deviceNameNotGbk:
            return texts::kDeviceNameNotGbk;
        case Refusal::deviceDirectoryNotGbk:
            return texts::kDeviceDirectoryNotGbk;
        case Refusal::nameForSeveralFiles:
            return texts::kNameForSeveralFiles;
        case Refusal::packageWithOthers:
            return texts::kPackageWithOthers;
    }
    return texts::kNoPcFile;  // unreachable for a valid enumerator
}

}  // namespace kestrel
