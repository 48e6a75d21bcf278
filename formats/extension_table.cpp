#include "formats/extension_table.h"

#include <array>

#include "text/texts.h"

namespace kestrel {
namespace {

constexpr FileType kOther = FileType::kOther;

constexpr std::array kTable{
    ExtensionRow{"ski", texts::kDirStartupScreens, kOther, false},
    ExtensionRow{"flm", texts::kDirStartupScreens, kOther, false},
    ExtensionRow{"b16", texts::kDirStartupScreens, kOther, false},
    ExtensionRow{"gbk", texts::kDirStartupScreens, kOther, false},
    ExtensionRow{"bmp", texts::kDirPictures, kOther, false},
    ExtensionRow{"bas", texts::kDirBasic, kOther, false},
    ExtensionRow{"dat", texts::kDirLavaData, kOther, false},
    ExtensionRow{"sav", texts::kDirLavaData, kOther, false},
    ExtensionRow{"txt", texts::kDirText, FileType::kText, false},
    ExtensionRow{"gtx", texts::kDirText, FileType::kHeadedText, false},
    ExtensionRow{"bin", texts::kDirApplications, FileType::kApplication, false},
    ExtensionRow{"lav", texts::kDirLava, kOther, false},
    ExtensionRow{"wav", texts::kDirMusic, kOther, false},
    ExtensionRow{"pac", texts::kDirPackage, kOther, true},
};

}  // namespace

std::span<const ExtensionRow> ExtensionTable() {
    return kTable;
}

const ExtensionRow* FindExtension(std::string_view extension) {
    for (const ExtensionRow& row : kTable) {
        if (row.extension == extension) return &row;
    }
    return nullptr;
}

std::string_view DirectoryByExtension(std::string_view gbkExtension) {
    const ExtensionRow* row = FindExtension(gbkExtension);
    return row != nullptr ? row->directory : texts::kDirRemovableDisk;
}

}  // namespace kestrel
