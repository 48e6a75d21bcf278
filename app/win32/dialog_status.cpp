#include "app/win32/dialog_status.h"

#include <string>

#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"

namespace kestrel {

void DialogStatus::ShowStatus(std::string_view gbkText) {
    HWND dialog = dialog_.load();
    if (dialog == nullptr) return;
    const std::wstring text = ShownText(gbkText);
    // Sent, not posted: the text lives on this stack until the dialog took it.
    SendMessageW(dialog, kShowStatusMessage, 0, reinterpret_cast<LPARAM>(&text));
}

void TakeStatus(HWND dialog, LPARAM text) {
    SetItemText(dialog, IDC_STATUS, *reinterpret_cast<const std::wstring*>(text));
}

}  // namespace kestrel
