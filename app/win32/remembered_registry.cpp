#include "app/win32/remembered_registry.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kestrel {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

std::wstring ReadText(HKEY key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return {};
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    text.resize(bytes / sizeof(wchar_t) - 1);  // without the terminator
    return text;
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The port's text is ASCII but for a serial port's name, which Windows keeps ASCII too.
std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

RememberedTexts ReadRemembered(const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return {};
    }
    const UniqueKey owned(opened);
    return {Narrow(ReadText(opened, L"Port")), ReadText(opened, L"Directory"),
            ReadText(opened, L"FetchAsUtf8") == L"1"};
}

void WriteRemembered(const std::wstring& key, const RememberedTexts& texts) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey owned(created);
    WriteText(created, L"Port", Widen(texts.port));
    WriteText(created, L"Directory", texts.directory);
    WriteText(created, L"FetchAsUtf8", texts.fetchAsUtf8 ? L"1" : L"0");
}

}  // namespace kestrel
