#pragma once
// The one table of extensions: for each, the device directory a file is
// proposed for, how it is converted on its way (file_type.h), and whether it
// is a package. Proposals (the front-end core) and the conversions read it
// alike. Extensions are lower-case ASCII, so the same in GBK and in every
// platform's text; a lookup is exact and case-sensitive.

#include <span>
#include <string_view>

#include "formats/file_type.h"

namespace kestrel {

struct ExtensionRow {
    std::string_view extension;
    std::string_view directory;  // GBK
    FileType type;
    bool package;
};

std::span<const ExtensionRow> ExtensionTable();

// The row of an extension; null for one the table does not hold ("" too).
const ExtensionRow* FindExtension(std::string_view extension);

// The directory for an already lower-cased extension (GBK): the table's, or
// "移动硬盘" for any other; a package's is "*".
std::string_view DirectoryByExtension(std::string_view gbkExtension);

}  // namespace kestrel
