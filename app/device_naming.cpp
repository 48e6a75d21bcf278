#include "app/device_naming.h"

#include <algorithm>
#include <array>
#include <optional>

#include "app/app_texts.h"
#include "transfer/transfer_texts.h"
#include "app/gbk_text.h"

namespace kestrel {
namespace {

constexpr std::size_t kMaxStemBytes = 10;

struct DirectoryRow {
    std::string_view extension;
    std::string_view directory;
};

constexpr std::array kDirectoryTable{
    DirectoryRow{"ski", texts::kDirStartupScreens}, DirectoryRow{"flm", texts::kDirStartupScreens},
    DirectoryRow{"b16", texts::kDirStartupScreens}, DirectoryRow{"gbk", texts::kDirStartupScreens},
    DirectoryRow{"bmp", texts::kDirPictures},       DirectoryRow{"bas", texts::kDirBasic},
    DirectoryRow{"dat", texts::kDirLavaData},       DirectoryRow{"sav", texts::kDirLavaData},
    DirectoryRow{"txt", texts::kDirText},           DirectoryRow{"gtx", texts::kDirText},
    DirectoryRow{"bin", texts::kDirApplications},   DirectoryRow{"lav", texts::kDirLava},
    DirectoryRow{"wav", texts::kDirMusic},          DirectoryRow{"pac", texts::kDirPackage},
};

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

template <typename Char>
bool IsAsciiUpper(Char c) {
    return c >= Char{'A'} && c <= Char{'Z'};
}

template <typename Char>
Char ToAsciiLower(Char c) {
    return static_cast<Char>(c - Char{'A'} + Char{'a'});
}

// Native text (UTF-8 or UTF-16): no unit of a multi-unit character lies in
// A-Z, so every unit can be looked at alone.
void LowerCaseNativeExtension(UserText& fileName) {
    const std::size_t dot = fileName.rfind(UserText::value_type{'.'});
    if (dot == UserText::npos) return;
    for (std::size_t i = dot + 1; i < fileName.size(); ++i) {
        if (IsAsciiUpper(fileName[i])) fileName[i] = ToAsciiLower(fileName[i]);
    }
}

// A "." is never a GBK trail byte, so a byte search finds the real one.
std::size_t ExtensionOffset(std::string_view gbkFileName) {
    const std::size_t dot = gbkFileName.rfind('.');
    return dot == std::string_view::npos ? 0 : dot + 1;
}

}  // namespace

std::string_view DirectoryByExtension(std::string_view gbkExtension) {
    for (const DirectoryRow& row : kDirectoryTable) {
        if (row.extension == gbkExtension) return row.directory;
    }
    return texts::kDirRemovableDisk;
}

void LowerCaseExtension(std::string& gbkFileName, std::size_t extensionOffset) {
    if (extensionOffset == 0) return;
    std::size_t at = extensionOffset;
    while (at < gbkFileName.size()) {
        const std::size_t length = CharacterLength(gbkFileName, at);
        if (length == 1 && IsAsciiUpper(gbkFileName[at])) {
            gbkFileName[at] = ToAsciiLower(gbkFileName[at]);
        }
        at += length;
    }
}

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

std::variant<ProposedNames, Refusal> ProposeDeviceNames(const std::filesystem::path& picked) {
    const std::filesystem::path pickedName = picked.filename();
    if (pickedName.empty() || pickedName == "." || pickedName == "..") return Refusal::noPcFile;
    std::optional<std::string> gbkName = ToGbk(pickedName.native());
    if (!gbkName) return Refusal::pcFileNameNotGbk;
    const std::size_t offset = ExtensionOffset(*gbkName);
    LowerCaseExtension(*gbkName, offset);

    ProposedNames names;
    UserText nativeName = pickedName.native();
    LowerCaseNativeExtension(nativeName);
    names.pcPath = picked;
    names.pcPath.replace_filename(nativeName);
    names.deviceName = ShortenDeviceName(*gbkName, offset);
    const std::string_view extension =
        offset == 0 ? std::string_view() : std::string_view(*gbkName).substr(offset);
    names.deviceDirectory = DirectoryByExtension(extension);
    if (names.deviceDirectory == texts::kDirPackage) names.deviceName = texts::kPackageName;
    return names;
}

}  // namespace kestrel
