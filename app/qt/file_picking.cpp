#include "app/qt/file_picking.h"

#include <QFileDialog>

#include "app/core/app_texts.h"
#include "app/qt/qt_text.h"

namespace kestrel {

std::optional<std::filesystem::path> PickFileWithDialog(QWidget* parent, const QString& initial) {
    // "*.*" passes only names with a dot here; the hidden "(*)" that follows
    // is the pattern actually applied, so every file can be picked while the
    // filter reads as it does on Windows.
    const QString filter = QStringFromGbk(texts::kAllFiles) + QStringLiteral(" (*)");
    const QString file =
        QFileDialog::getOpenFileName(parent, QStringFromGbk(texts::kPickerTitle), initial, filter,
                                     nullptr, QFileDialog::HideNameFilterDetails);
    if (file.isEmpty()) return std::nullopt;
    return PathFromQString(file);
}

}  // namespace kestrel
