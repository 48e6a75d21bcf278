#include "app/qt/port_combo_box.h"

#include <QAbstractItemView>

#include "app/qt/qt_text.h"

namespace kestrel {

PortComboBox::PortComboBox(PortLister list, QWidget* parent)
    : QComboBox(parent), list_(std::move(list)) {
    Refresh();
}

void PortComboBox::Refresh() {
    const auto chosen = ChosenPort();
    clear();
    entries_ = list_();
    int keep = 0;
    for (const PortListEntry& entry : entries_) {
        if (chosen && chosen->kind == entry.port.kind && chosen->name == entry.port.name) {
            keep = count();
        }
        addItem(QStringFromUserText(entry.label));
    }
    setCurrentIndex(count() > 0 ? keep : -1);
    // Stable names are long; the open list shows them whole.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 8);
}

std::optional<PortChoice> PortComboBox::ChosenPort() const {
    const int index = currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return std::nullopt;
    return entries_[static_cast<std::size_t>(index)].port;
}

void PortComboBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

}  // namespace kestrel
