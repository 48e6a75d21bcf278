#pragma once
// The dialog's controls with rules of their own: the port list and the two
// device boxes limited in GBK bytes.
//
// Promises:
// - FillPortList lists "COM1" to "COM4" and every present port not among
//   them (the list sorts itself), and selects "COM1".
// - SelectedPortName is the selected entry's text, nullopt when none is
//   selected.
// - LimitTyping caps typing in the three boxes; the Keep...WithinGbkLimit pair
//   then cuts what still exceeds 14 bytes of GBK after a change, keeping the
//   caret where the user was typing.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

void FillPortList(HWND list, const std::vector<std::string>& present);
std::optional<std::string> SelectedPortName(HWND list);

void LimitTyping(HWND dialog);
void KeepEditWithinGbkLimit(HWND edit);
void KeepComboWithinGbkLimit(HWND combo);

}  // namespace kestrel
