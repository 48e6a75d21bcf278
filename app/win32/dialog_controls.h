#pragma once
// The dialog's controls with rules of their own: the port list and the two
// device boxes limited in GBK bytes.
//
// Promises:
// - FillPortList lists "COM1" to "COM4", every present port not among them
//   and the built-in handheld "虚拟文曲星" (the list sorts itself), and
//   selects "COM1".
// - SelectedPort is the selected entry's port, nullopt when none is
//   selected.
// - LimitTyping caps typing in the three boxes; the Keep...WithinGbkLimit pair
//   then cuts what still exceeds 14 bytes of GBK after a change, keeping the
//   caret where the user was typing.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "transfer/transfer_request.h"

namespace kestrel {

void FillPortList(HWND list, const std::vector<std::string>& present);
std::optional<PortChoice> SelectedPort(HWND list);
// Selects the port's entry when the list holds it; otherwise nothing changes.
void SelectPort(HWND list, const PortChoice& port);

void LimitTyping(HWND dialog);
void KeepEditWithinGbkLimit(HWND edit);
void KeepComboWithinGbkLimit(HWND combo);

}  // namespace kestrel
