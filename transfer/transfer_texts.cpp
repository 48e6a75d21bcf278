#include "transfer/transfer_texts.h"

namespace kestrel::texts {

Kilobytes::Kilobytes(std::uint64_t bytes) {
    constexpr std::size_t kWidth = 5;  // of the figure, "k" aside
    std::uint64_t figure = bytes / 1024;
    std::size_t at = text_.size();
    text_[--at] = 'k';
    do {
        text_[--at] = static_cast<char>('0' + figure % 10);
        figure /= 10;
    } while (figure > 0);
    while (text_.size() - 1 - at < kWidth) text_[--at] = ' ';
    start_ = at;
}

std::string Downloading(std::string_view deviceName) {
    return std::string(kDownloadingBefore).append(deviceName);
}

std::string FoundOn(std::string_view portName) {
    return std::string(kFoundOnBefore).append(PortName(portName)).append(kFoundOnAfter);
}

std::string ListeningOn(const std::vector<std::string>& portNames) {
    std::string text(kListeningOnBefore);
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        if (i > 0) text += kListSeparator;
        text += PortName(portNames[i]);
    }
    return text + std::string(kListeningOnAfter);
}

std::string SentFiles(std::size_t count) {
    return std::string(kSentFilesBefore) + std::to_string(count) + std::string(kSentFilesAfter);
}

std::string MaybeNotOnHandheld(std::string_view devicePath) {
    return std::string(kMaybeNotOnHandheld).append(devicePath);
}

}  // namespace kestrel::texts
