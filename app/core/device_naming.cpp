#include "app/core/device_naming.h"

#include <algorithm>
#include <array>

#include "app/core/app_texts.h"

namespace kestrel {
namespace {

constexpr std::size_t kMaxStemBytes = 10;

bool IsLeadByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x81 && value <= 0xFE;
}

// Length of the character at `at`: 2 for a lead byte with a byte after it.
std::size_t CharacterLength(std::string_view gbk, std::size_t at) {
    return IsLeadByte(gbk[at]) && at + 1 < gbk.size() ? 2 : 1;
}

// The longest prefix of whole characters within `limit` bytes.
std::string_view WholeCharacters(std::string_view gbk, std::size_t limit) {
    std::size_t end = 0;
    while (end < gbk.size()) {
        const std::size_t next = end + CharacterLength(gbk, end);
        if (next > limit) break;
        end = next;
    }
    return gbk.substr(0, end);
}

}  // namespace

std::string ShortenDeviceName(std::string_view gbkFileName, std::size_t extensionOffset) {
    if (gbkFileName.size() < kMaxDeviceNameBytes) return std::string(gbkFileName);
    if (extensionOffset == 0) return std::string(WholeCharacters(gbkFileName, kMaxDeviceNameBytes));

    const std::string_view stem = gbkFileName.substr(0, gbkFileName.find('.'));
    std::string name(WholeCharacters(stem, kMaxStemBytes));
    name += '.';
    const std::string_view extension =
        gbkFileName.substr(std::min(extensionOffset, gbkFileName.size()));
    name += WholeCharacters(extension, kMaxDeviceNameBytes - name.size());
    return name;
}

}  // namespace kestrel
