#include "app/qt/dialog_controls.h"

#include <algorithm>

#include "app/qt/dialog_layout.h"
#include "app/qt/qt_text.h"

namespace kestrel {
namespace {

QString NameFor(const ControlTemplate& control) {
    const bool button =
        control.kind == ControlKind::button || control.kind == ControlKind::checkBox;
    return (button ? QStringLiteral("button") : QStringLiteral("box")) +
           QString::number(static_cast<int>(control.id));
}

// Boxes take no drops of their own: a file dropped anywhere on the dialog
// is a picked file, never text pasted into a box.
QLineEdit* MakeEdit(QDialog& dialog) {
    auto* edit = new QLineEdit(&dialog);
    edit->setAcceptDrops(false);
    return edit;
}

QLabel* MakeLabel(QDialog& dialog, const ControlTemplate& control) {
    auto* label = new QLabel(QString::fromUtf8(control.text), &dialog);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QComboBox* MakeDirectoryBox(QDialog& dialog) {
    auto* box = new QComboBox(&dialog);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setAcceptDrops(false);
    return box;
}

QPushButton* MakeButton(QDialog& dialog, const ControlTemplate& control) {
    auto* button = new QPushButton(QString::fromUtf8(control.text), &dialog);
    button->setAutoDefault(false);  // Enter in a box starts nothing
    return button;
}

QWidget* MakeControl(QDialog& dialog, const ControlTemplate& control, DialogControls& made) {
    switch (control.kind) {
        case ControlKind::label:
            return MakeLabel(dialog, control);
        case ControlKind::edit:
            return MakeEdit(dialog);
        case ControlKind::statusLine:
            made.status = MakeLabel(dialog, control);
            made.status->setWordWrap(true);
            made.status->setTextInteractionFlags(Qt::TextSelectableByMouse);
            return made.status;
        case ControlKind::button:
            return MakeButton(dialog, control);
        case ControlKind::portList:
            return made.port = new PortComboBox(&dialog);
        case ControlKind::directoryBox:
            return made.deviceDirectory = MakeDirectoryBox(dialog);
        case ControlKind::checkBox:
            return made.fetchAsUtf8 = new QCheckBox(QString::fromUtf8(control.text), &dialog);
    }
    return nullptr;
}

void Place(QWidget& widget, const ControlTemplate& control, BaseUnits base) {
    const bool list =
        control.kind == ControlKind::portList || control.kind == ControlKind::directoryBox;
    DialogRect rect = control.rect;
    if (list) rect.height = kClosedListHeightUnits;
    QRect pixels = ToPixels(rect, base);
    // A list must not be cut below what its style needs to show one line.
    if (list) pixels.setHeight(std::max(pixels.height(), widget.minimumSizeHint().height()));
    widget.setGeometry(pixels);
}

// A control in the right-hand column grows to show its text whole (the
// port list's "虚拟文曲星" needs more than the template's width in most
// fonts), and the dialog with it.
void FitWidth(QDialog& dialog, QWidget& control, const DialogRect& rect, BaseUnits base) {
    QRect place = control.geometry();
    place.setWidth(std::max(place.width(), control.sizeHint().width()));
    control.setGeometry(place);
    const int margin = ToPixels({0, 0, kDialogWidthUnits - rect.x - rect.width, 0}, base).width();
    const int width = std::max(dialog.width(), place.right() + 1 + margin);
    dialog.setFixedSize(width, dialog.height());
}

}  // namespace

DialogControls BuildControls(QDialog& dialog) {
    dialog.setFont(DialogFont());
    const BaseUnits base = BaseUnitsOf(QFontMetrics(dialog.font()));
    dialog.setFixedSize(DialogSizeInPixels(base));
    DialogControls made;
    int staticIndex = 0;
    DialogRect portRect;
    DialogRect checkBoxRect;
    for (const ControlTemplate& control : DialogTemplate()) {
        if (control.id == kIdPort) portRect = control.rect;
        if (control.id == kIdFetchAsUtf8) checkBoxRect = control.rect;
        QWidget* widget = MakeControl(dialog, control, made);
        widget->setObjectName(control.id == kIdStatic
                                  ? QStringLiteral("static") + QString::number(staticIndex++)
                                  : NameFor(control));
        Place(*widget, control, base);
    }
    const auto button = [&dialog](int id) {
        return dialog.findChild<QPushButton*>(QStringLiteral("button%1").arg(id));
    };
    made.pcPath = dialog.findChild<QLineEdit*>(QStringLiteral("box%1").arg(kIdPcPath));
    made.deviceName = dialog.findChild<QLineEdit*>(QStringLiteral("box%1").arg(kIdDeviceName));
    made.commands = {button(kIdDownload), button(kIdUpload), button(kIdBrowse), button(kIdExit)};
    made.about = button(kIdAbout);
    made.port->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FitWidth(dialog, *made.port, portRect, base);
    FitWidth(dialog, *made.fetchAsUtf8, checkBoxRect, base);
    return made;
}

}  // namespace kestrel
