#include "transfer/transfer_texts.h"

#include <cstdio>

namespace kestrel::texts {

std::string Kilobytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%5lluk", static_cast<unsigned long long>(bytes / 1024));
    return text;
}

std::string Downloading(std::string_view deviceName) {
    return std::string(kDownloadingBefore).append(deviceName);
}

std::string FoundOn(std::string_view portName) {
    return std::string(kFoundOnBefore).append(portName).append(kFoundOnAfter);
}

std::string CannotOpenPort(std::string_view portName, std::string_view reason) {
    return std::string(kCannotOpenPortBefore).append(portName).append("!").append(reason);
}

}  // namespace kestrel::texts
