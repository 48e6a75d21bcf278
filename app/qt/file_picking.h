#pragma once
// Picking a PC file: the platform's open-file dialog.

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

}  // namespace kestrel
