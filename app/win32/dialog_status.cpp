#include "app/win32/dialog_status.h"

#include <string>

#include "app/core/run_texts.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"

namespace kestrel {
namespace {

struct Shown {
    std::wstring text;
    std::optional<std::wstring> title;
};

}  // namespace

void DialogStatus::ShowStatus(std::string_view gbkText) {
    Show(gbkText, std::nullopt);
}

void DialogStatus::ShowProgress(std::string_view gbkText, Progress progress) {
    Show(gbkText, PercentDone(progress));
}

void DialogStatus::Show(std::string_view gbkText, std::optional<int> percent) {
    HWND dialog = dialog_.load();
    if (dialog == nullptr) return;
    Shown shown{ShownText(gbkText), std::nullopt};
    if (percent) shown.title = ShownText(WindowTitle(percent));
    // Sent, not posted: the text lives on this stack until the dialog took it.
    SendMessageW(dialog, kShowStatusMessage, 0, reinterpret_cast<LPARAM>(&shown));
}

void TakeStatus(HWND dialog, LPARAM shown) {
    const auto& taken = *reinterpret_cast<const Shown*>(shown);
    SetItemText(dialog, IDC_STATUS, taken.text);
    if (taken.title) SetWindowTextW(dialog, taken.title->c_str());
}

}  // namespace kestrel
