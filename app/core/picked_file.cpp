#include "app/core/picked_file.h"

#include <algorithm>
#include <string>

#include "app/core/app_texts.h"
#include "app/core/device_naming.h"
#include "formats/package_file.h"

namespace kestrel {
namespace {

constexpr auto kDot = UserText::value_type{'.'};

// No unit of a multi-unit character (UTF-8 or UTF-16) lies in A-Z, so every
// unit can be looked at alone.
UserText LowerCasedExtension(UserText name) {
    const std::size_t dot = name.rfind(kDot);
    if (dot == UserText::npos) return name;
    for (std::size_t at = dot + 1; at < name.size(); ++at) {
        if (name[at] >= UserText::value_type{'A'} && name[at] <= UserText::value_type{'Z'}) {
            name[at] = static_cast<UserText::value_type>(name[at] + ('a' - 'A'));
        }
    }
    return name;
}

UserText Shown(std::string_view gbk) {
    return FromGbk(gbk).value_or(UserText());
}

// The directory for a lower-cased file name; an extension GBK cannot hold
// matches no row.
std::string_view DirectoryForName(const UserText& name) {
    const std::size_t dot = name.rfind(kDot);
    if (dot == UserText::npos) return DirectoryByExtension({});
    const std::optional<std::string> extension = ToGbk(UserTextView(name).substr(dot + 1));
    return DirectoryByExtension(extension.value_or(std::string()));
}

// A "." is never a GBK trail byte, so a byte search finds the real one.
std::size_t ExtensionOffset(std::string_view gbkName) {
    const std::size_t dot = gbkName.rfind('.');
    return dot == std::string_view::npos ? 0 : dot + 1;
}

}  // namespace

std::optional<Proposal> ProposeForPickedFile(const std::filesystem::path& picked) {
    const std::filesystem::path pickedName = picked.filename();
    if (pickedName.empty() || pickedName == "." || pickedName == "..") return std::nullopt;
    const UserText name = LowerCasedExtension(pickedName.native());
    const std::string_view directory = DirectoryForName(name);

    Proposal proposal;
    proposal.boxes.pcPath = picked.native();
    proposal.boxes.deviceDirectory = Shown(directory);
    if (directory == texts::kDirPackage) {
        proposal.package = true;
        proposal.boxes.deviceName = Shown(texts::kPackageName);
    } else if (const std::optional<std::string> gbkName = ToGbk(name)) {
        std::string deviceName = ShortenDeviceName(*gbkName, ExtensionOffset(*gbkName));
        std::replace_if(
            deviceName.begin(), deviceName.end(),
            [](char byte) { return byte == ' ' || IsControlByte(byte); }, '_');
        proposal.boxes.deviceName = Shown(deviceName);
    } else {
        proposal.nameProposed = false;
    }
    return proposal;
}

FileType PickedFileType(const std::filesystem::path& picked) {
    std::filesystem::path lowered = picked;
    lowered.replace_filename(LowerCasedExtension(picked.filename().native()));
    return FileTypeOf(lowered);
}

}  // namespace kestrel
