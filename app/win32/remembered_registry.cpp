#include "app/win32/remembered_registry.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <type_traits>

namespace kestrel {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t) - 1);  // without the terminator
    return text;
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

RememberedChoices RegistryStore::Read() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return {};
    }
    const UniqueKey owned(opened);
    RememberedChoices choices;
    // The port's text is ASCII, a serial port's name included.
    if (const auto port = ReadText(opened, L"Port")) {
        choices.port.emplace(port->begin(), port->end());
    }
    choices.directory = ReadText(opened, L"Directory");
    if (const auto utf8 = ReadText(opened, L"FetchAsUtf8")) choices.fetchAsUtf8 = *utf8 == L"1";
    return choices;
}

void RegistryStore::Write(const RememberedChoices& changed) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &created, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey owned(created);
    if (changed.port) WriteText(created, L"Port", {changed.port->begin(), changed.port->end()});
    if (changed.directory) WriteText(created, L"Directory", *changed.directory);
    if (changed.fetchAsUtf8) WriteText(created, L"FetchAsUtf8", *changed.fetchAsUtf8 ? L"1" : L"0");
}

}  // namespace kestrel
