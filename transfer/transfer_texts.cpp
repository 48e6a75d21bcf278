#include "transfer/transfer_texts.h"

#include <cstdio>

namespace kestrel::texts {

std::string Kilobytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%5lluk", static_cast<unsigned long long>(bytes / 1024));
    return text;
}

std::string Downloading(std::string_view deviceName) {
    // 下载
    return std::string("\xCF\xC2\xD4\xD8").append(deviceName);
}

std::string FoundOn(std::string_view portName) {
    // 在 ... 上找到了文曲星
    return std::string("\xD4\xDA")
        .append(portName)
        .append("\xC9\xCF\xD5\xD2\xB5\xBD\xC1\xCB\xCE\xC4\xC7\xFA\xD0\xC7");
}

std::string CannotOpenPort(std::string_view portName, std::string_view reason) {
    // 无法打开串口%s!
    return std::string("\xCE\xDE\xB7\xA8\xB4\xF2\xBF\xAA\xB4\xAE\xBF\xDA")
        .append(portName)
        .append("!")
        .append(reason);
}

}  // namespace kestrel::texts
