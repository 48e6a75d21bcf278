#include "app/win32/dialog_controls.h"

#include <algorithm>

#include "app/core/app_texts.h"
#include "app/core/device_naming.h"
#include "app/platform/gbk_text.h"
#include "app/win32/gbk_limit.h"
#include "app/win32/resource_ids.h"
#include "app/win32/window_text.h"
#include "transfer/transfer_texts.h"

namespace kestrel {
namespace {

// Typed paths stop at the classic path limit; Browse and a dropped file may
// still put a longer one in, as setting a text is not capped.
constexpr WPARAM kMaxTypedPathLength = 260;

// At least one GBK byte per character: a first, cheap cap before the count
// in bytes, which needs the text.
constexpr WPARAM kMaxTypedNameLength = kMaxDeviceNameBytes;
constexpr WPARAM kMaxTypedDirectoryLength = kMaxDeviceDirectoryBytes;

// Each entry carries its kind of port, so what an entry is never depends on
// its text; the sorted list keeps an entry's data with it.
void AddEntry(HWND list, const std::wstring& entry, PortChoice::Kind kind) {
    const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (at >= 0) {
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(kind));
    }
}

std::wstring EntryText(const PortChoice& port) {
    switch (port.kind) {
        case PortChoice::Kind::builtInHandheld:
            return ShownText(texts::kBuiltInHandheld);
        case PortChoice::Kind::automatic:
            return ShownText(texts::kAutomaticPort);
        case PortChoice::Kind::serial:
            break;
    }
    return ShownText(port.name);
}

}  // namespace

void FillPortList(HWND list, const std::vector<std::string>& present) {
    std::vector<std::wstring> entries = {L"COM1", L"COM2", L"COM3", L"COM4"};
    for (const std::string& port : present) {
        const std::optional<std::wstring> name = FromGbk(port);
        if (!name || name->empty()) continue;
        if (std::find(entries.begin(), entries.end(), *name) != entries.end()) continue;
        entries.push_back(*name);
    }
    for (const std::wstring& entry : entries) AddEntry(list, entry, PortChoice::Kind::serial);
    AddEntry(list, ShownText(texts::kAutomaticPort), PortChoice::Kind::automatic);
    AddEntry(list, ShownText(texts::kBuiltInHandheld), PortChoice::Kind::builtInHandheld);
    SelectPort(list, PortChoice{PortChoice::Kind::serial, "COM1"});
}

std::optional<PortChoice> SelectedPort(HWND list) {
    const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return std::nullopt;
    const WPARAM index = static_cast<WPARAM>(selected);
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    const auto kind = static_cast<PortChoice::Kind>(SendMessageW(list, CB_GETITEMDATA, index, 0));
    if (kind != PortChoice::Kind::serial) return PortChoice{kind, {}};
    std::optional<std::string> name = ToGbk(text);
    if (!name) return std::nullopt;
    return PortChoice{PortChoice::Kind::serial, std::move(*name)};
}

void SelectPort(HWND list, const PortChoice& port) {
    const std::wstring entry = EntryText(port);
    const LRESULT found = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry.c_str()));
    if (found != CB_ERR) SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

void LimitTyping(HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_PC_PATH, EM_LIMITTEXT, kMaxTypedPathLength, 0);
    SendDlgItemMessageW(dialog, IDC_DEVICE_NAME, EM_LIMITTEXT, kMaxTypedNameLength, 0);
    SendDlgItemMessageW(dialog, IDC_DEVICE_DIRECTORY, CB_LIMITTEXT, kMaxTypedDirectoryLength, 0);
}

void KeepEditWithinGbkLimit(HWND edit) {
    std::wstring text = WindowText(edit);
    if (GbkLength(text) <= kMaxDeviceNameBytes) return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const BoxEdit fitted = FitGbkLimit(std::move(text), end, kMaxDeviceNameBytes);
    SetWindowTextW(edit, fitted.text.c_str());
    SendMessageW(edit, EM_SETSEL, fitted.caret, static_cast<LPARAM>(fitted.caret));
}

void KeepComboWithinGbkLimit(HWND combo) {
    std::wstring text = WindowText(combo);
    if (GbkLength(text) <= kMaxDeviceDirectoryBytes) return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const BoxEdit fitted = FitGbkLimit(std::move(text), end, kMaxDeviceDirectoryBytes);
    SetWindowTextW(combo, fitted.text.c_str());
    const WORD caret = static_cast<WORD>(fitted.caret);
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
}

}  // namespace kestrel
