#pragma once
// Picking a PC file: the platform's open-file dialog, and which path the PC
// file box then shows.
//
// The proposal lower-cases the picked file's extension, as the transfer
// routes by it. Where the file system tells case apart, the lower-cased
// path may name no file or another one; the box then keeps the path as
// picked, so that Download sends the file the user chose.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

namespace kestrel {

// The picked file, or nullopt when the user cancelled. `initial` is offered
// as the starting file name.
using FilePicker =
    std::function<std::optional<std::filesystem::path>(QWidget* parent, const QString& initial)>;

// The platform's open-file dialog, titled "打开电脑文件", showing the filter
// "所有文件 (*.*)", which lets every file be picked, also one without a dot.
std::optional<std::filesystem::path> PickFileWithDialog(QWidget* parent, const QString& initial);

// The proposed path when it names the picked file itself, else the picked one.
std::filesystem::path PathForPcBox(const std::filesystem::path& picked,
                                   const std::filesystem::path& proposed);

}  // namespace kestrel
