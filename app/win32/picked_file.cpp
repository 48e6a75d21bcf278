#include "app/win32/picked_file.h"

#include <string>
#include <variant>

#include "app/app_texts.h"
#include "transfer/transfer_texts.h"
#include "app/device_naming.h"

namespace kestrel {
namespace {

UserText Shown(std::string_view gbk) {
    return FromGbk(gbk).value_or(UserText());
}

// The path with A-Z lower-cased after the last "." of its file name, as the
// picker does, so the transfer routes the file by that extension.
std::filesystem::path LowerCasedExtension(const std::filesystem::path& picked) {
    UserText name = picked.filename().native();
    const std::size_t dot = name.rfind(L'.');
    if (dot == UserText::npos) return picked;
    for (std::size_t at = dot + 1; at < name.size(); ++at) {
        if (name[at] >= L'A' && name[at] <= L'Z') name[at] = static_cast<wchar_t>(name[at] + 32);
    }
    std::filesystem::path lowered = picked;
    lowered.replace_filename(name);
    return lowered;
}

// The directory for the extension of an already lower-cased file name; an
// extension GBK cannot hold matches no row.
UserText DirectoryForName(const UserText& name) {
    const std::size_t dot = name.rfind(L'.');
    const std::optional<std::string> extension =
        dot == UserText::npos ? std::optional<std::string>() : ToGbk(name.substr(dot + 1));
    return Shown(DirectoryByExtension(extension.value_or(std::string())));
}

}  // namespace

std::optional<BoxTexts> BoxesForPickedFile(const std::filesystem::path& picked) {
    const auto proposal = ProposeDeviceNames(picked);
    if (const auto* names = std::get_if<ProposedNames>(&proposal)) {
        return BoxTexts{names->pcPath.native(), Shown(names->deviceName),
                        Shown(names->deviceDirectory)};
    }
    if (std::get<Refusal>(proposal) != Refusal::pcFileNameNotGbk) return std::nullopt;
    const std::filesystem::path lowered = LowerCasedExtension(picked);
    BoxTexts boxes{lowered.native(), UserText(), DirectoryForName(lowered.filename().native())};
    // A package names its entries itself; only its own device name sends them.
    if (boxes.deviceDirectory == Shown(texts::kDirPackage)) {
        boxes.deviceName = Shown(texts::kPackageName);
    }
    return boxes;
}

}  // namespace kestrel
