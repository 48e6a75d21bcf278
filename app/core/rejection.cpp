#include "app/core/rejection.h"

#include "app/core/app_texts.h"

namespace kestrel {

std::string_view RejectionText(Rejection rejection) {
    switch (rejection) {
        case Rejection::noPcFile:
            return texts::kNoPcFile;
        case Rejection::pcFileNameNotGbk:
            return texts::kPcFileNameNotGbk;
        case Rejection::emptyPcPath:
            return texts::kEmptyPcPath;
        case Rejection::emptyDeviceName:
            return texts::kEmptyDeviceName;
        case Rejection::emptyDeviceDirectory:
            return texts::kEmptyDeviceDirectory;
        case Rejection::spaceInDeviceName:
            return texts::kSpaceInDeviceName;
        case Rejection::spaceInDeviceDirectory:
            return texts::kSpaceInDeviceDirectory;
        case Rejection::deviceNameTooLong:
            return texts::kDeviceNameTooLong;
        case Rejection::deviceDirectoryTooLong:
            return texts::kDeviceDirectoryTooLong;
        case Rejection::deviceNameNotGbk:
            return texts::kDeviceNameNotGbk;
        case Rejection::deviceDirectoryNotGbk:
            return texts::kDeviceDirectoryNotGbk;
        case Rejection::controlInDeviceName:
            return texts::kControlInDeviceName;
        case Rejection::controlInDeviceDirectory:
            return texts::kControlInDeviceDirectory;
        case Rejection::deviceNameNotOnePart:
            return texts::kDeviceNameNotOnePart;
        case Rejection::deviceDirectoryBadPart:
            return texts::kDeviceDirectoryBadPart;
        case Rejection::placeForPackage:
            return texts::kPlaceForPackage;
        case Rejection::nameForSeveralFiles:
            return texts::kNameForSeveralFiles;
        case Rejection::packageWithOthers:
            return texts::kPackageWithOthers;
    }
    return texts::kNoPcFile;  // unreachable for a valid enumerator
}

}  // namespace kestrel
