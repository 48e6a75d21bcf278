#pragma once
// The dialog's remembered texts in the user's part of the registry:
// HKEY_CURRENT_USER\<key>, values "Port", "Directory" and "FetchAsUtf8". Reading a key or
// value that is not there gives empty texts, which leave the dialog as it
// starts; a write that fails is not an error worth a word.

#include <string>

namespace kestrel {

struct RememberedTexts {
    std::string port;        // as PortSetting makes it (UTF-8)
    std::wstring directory;  // the directory box's text
    bool fetchAsUtf8 = false;
};

RememberedTexts ReadRemembered(const std::wstring& key);
void WriteRemembered(const std::wstring& key, const RememberedTexts& texts);

}  // namespace kestrel
