#include "app/core/app_texts.h"

namespace kestrel::texts {

std::string TooLongToType(std::string_view gbkBox, std::size_t bytes) {
    return std::string(gbkBox) + std::string(kTooLongToTypeBefore) + std::to_string(bytes) +
           std::string(kBytes);
}

std::string SeveralFiles(std::size_t count, std::string_view gbkFirstName) {
    return std::to_string(count) + std::string(kSeveralFilesBefore) + std::string(gbkFirstName);
}

std::string ReplacePcFile(std::string_view gbkName) {
    return std::string(kReplacePcFileBefore) + std::string(gbkName) +
           std::string(kReplacePcFileAfter);
}

std::string SameDevicePath(std::string_view gbkFirstPath, std::string_view gbkSecondPath,
                           std::string_view gbkDevicePath) {
    return std::string(kSameDevicePathBefore) + std::string(gbkFirstPath) +
           std::string(kSameDevicePathAnd) + std::string(gbkSecondPath) +
           std::string(kSameDevicePathAfter) + std::string(gbkDevicePath);
}

}  // namespace kestrel::texts
