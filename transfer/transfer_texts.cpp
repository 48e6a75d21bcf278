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

std::string ListeningOn(const std::vector<std::string>& portNames) {
    // 正在监听串口 ... 、 ... ，请在文曲星上开始传输
    std::string text("\xD5\xFD\xD4\xDA\xBC\xE0\xCC\xFD\xB4\xAE\xBF\xDA");
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        if (i > 0) text += "\xA1\xA2";
        text += portNames[i];
    }
    return text +
           "\xA3\xAC\xC7\xEB\xD4\xDA\xCE\xC4\xC7\xFA\xD0\xC7\xC9\xCF\xBF\xAA\xCA\xBC\xB4\xAB\xCA"
           "\xE4";
}

std::string SentFiles(std::size_t count) {
    // 共发送了 ... 个文件
    return "\xB9\xB2\xB7\xA2\xCB\xCD\xC1\xCB" + std::to_string(count) + "\xB8\xF6\xCE\xC4\xBC\xFE";
}

std::string MaybeNotOnHandheld(std::string_view devicePath) {
    // ：文曲星上可能没有这个文件：
    return "\xA3\xBA\xCE\xC4\xC7\xFA\xD0\xC7\xC9\xCF\xBF\xC9\xC4\xDC\xC3\xBB\xD3\xD0\xD5\xE2\xB8"
           "\xF6\xCE"
           "\xC4\xBC\xFE\xA3\xBA" +
           std::string(devicePath);
}

std::string CannotOpenPort(std::string_view portName, std::string_view reason) {
    return std::string(kCannotOpenPortBefore).append(portName).append("!").append(reason);
}

}  // namespace kestrel::texts
