#include "app/qt/port_combo_box.h"

#include <QAbstractItemView>
#include <QByteArray>
#include <QVariant>

#include "app/qt/qt_text.h"

namespace kestrel {

PortComboBox::PortComboBox(PortLister list, QWidget* parent)
    : QComboBox(parent), list_(std::move(list)) {
    Refresh();
}

void PortComboBox::Refresh() {
    const auto chosen = ChosenPortName();
    clear();
    int keep = 0;
    for (const PortChoice& choice : list_()) {
        const QByteArray name(choice.portName.data(),
                              static_cast<qsizetype>(choice.portName.size()));
        if (chosen && *chosen == choice.portName) keep = count();
        addItem(QStringFromUserText(choice.label), name);
    }
    setCurrentIndex(count() > 0 ? keep : -1);
    // Stable names are long; the open list shows them whole.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 8);
}

std::optional<std::string> PortComboBox::ChosenPortName() const {
    if (currentIndex() < 0) return std::nullopt;
    return currentData().toByteArray().toStdString();
}

void PortComboBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

}  // namespace kestrel
