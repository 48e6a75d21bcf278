#pragma once
// Picking the PC file: the open-file dialog as Browse shows it, behind a
// function type so that tests can put a stub in its place.
//
// Promises:
// - A picker returns the picked path, or nullopt when the user cancelled or
//   the picker failed; it blocks (pumping its own messages) until then.
// - The open-file dialog offers `initial` as the file name, takes paths of
//   any length the system allows, and asks for an existing file.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kestrel {

using FilePicker =
    std::function<std::optional<std::filesystem::path>(HWND owner, const std::wstring& initial)>;

FilePicker OpenFileDialogPicker(HINSTANCE instance);

}  // namespace kestrel
