#pragma once
// Reads a dialog template (DLGTEMPLATEEX, as the resource compiler writes
// it) from this program's resources, so tests can check what the template
// itself says: styles the controls change once made, the font as named.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

struct TemplateItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    WORD classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    std::wstring text;
};

struct DialogResource {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<TemplateItem> items;
};

// Empty when the resource is missing or not an extended template.
std::optional<DialogResource> ReadDialogResource(int id);

}  // namespace kestrel::test
