#pragma once
// Keeping a box's text within a number of GBK bytes, the unit in which the
// handheld counts names, while the box itself holds UTF-16.
//
// Promises:
// - GbkLength counts what ToGbk would give: 1 byte for ASCII, 2 for any other
//   character GBK holds. A character GBK cannot hold (including one written
//   as a surrogate pair) counts 2, so it can never squeeze past the limit;
//   such a name is refused when it is sent anyway.
// - FitGbkLimit removes whole characters only, first those just before the
//   caret (where typed or pasted text lands, as a plain typing limit refuses
//   what does not fit), then from the end; text within the limit is returned
//   as it came.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

std::size_t GbkLength(std::wstring_view text);

struct BoxEdit {
    std::wstring text;
    std::size_t caret = 0;  // in UTF-16 units
};

BoxEdit FitGbkLimit(std::wstring text, std::size_t caret, std::size_t maxBytes);

}  // namespace kestrel
