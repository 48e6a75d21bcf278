#include "app/win32/file_picker.h"

#include <commdlg.h>

#include <algorithm>

#include "app/core/app_texts.h"
#include "app/win32/window_text.h"

namespace kestrel {
namespace {

// Long enough for the longest path Windows takes (with the \\?\ form).
constexpr std::size_t kPathBufferLength = 32768;

// One filter pair: "所有文件 (*.*)" / "*.*", each NUL-ended, then the end NUL.
std::wstring AllFilesFilter() {
    std::wstring filter = ShownText(texts::kAllFiles);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    filter += L'\0';
    return filter;
}

std::optional<std::filesystem::path> PickWithDialog(HINSTANCE instance, HWND owner,
                                                    const std::wstring& initial) {
    std::wstring buffer(kPathBufferLength, L'\0');
    buffer.replace(0, std::min(initial.size(), kPathBufferLength - 1), initial);
    const std::wstring filter = AllFilesFilter();
    const std::wstring title = ShownText(texts::kPickerTitle);

    OPENFILENAMEW parameters{};
    parameters.lStructSize = sizeof(parameters);
    parameters.hwndOwner = owner;
    parameters.hInstance = instance;
    parameters.lpstrFilter = filter.c_str();
    parameters.lpstrFile = buffer.data();
    parameters.nMaxFile = static_cast<DWORD>(buffer.size());
    parameters.lpstrTitle = title.c_str();
    parameters.Flags =
        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
    parameters.lpstrDefExt = L"zip";
    if (!GetOpenFileNameW(&parameters)) return std::nullopt;
    buffer.resize(buffer.find(L'\0'));
    return std::filesystem::path(buffer);
}

}  // namespace

FilePicker OpenFileDialogPicker(HINSTANCE instance) {
    return [instance](HWND owner, const std::wstring& initial) {
        return PickWithDialog(instance, owner, initial);
    };
}

}  // namespace kestrel
