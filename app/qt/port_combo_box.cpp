#include "app/qt/port_combo_box.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

#include "app/qt/qt_text.h"

namespace kestrel {
namespace {

bool SamePort(const PortChoice& a, const PortChoice& b) {
    return a.kind == b.kind && a.name == b.name;
}

// The open list shows each port whole; the closed box only its short name.
class WholeNameDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = index.data(Qt::ToolTipRole).toString();
    }
};

}  // namespace

PortComboBox::PortComboBox(PortLister list, QWidget* parent)
    : QComboBox(parent), list_(std::move(list)) {
    view()->setItemDelegate(new WholeNameDelegate(this));
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { setToolTip(itemData(index, Qt::ToolTipRole).toString()); });
    Refresh();
}

void PortComboBox::Refresh() {
    const auto chosen = ChosenPort();
    clear();
    entries_ = list_();
    int keep = 0;
    for (const PortListEntry& entry : entries_) {
        if (chosen && SamePort(*chosen, entry.port)) keep = count();
        addItem(QStringFromUserText(entry.label));
        setItemData(count() - 1, QStringFromUserText(entry.detail), Qt::ToolTipRole);
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

void PortComboBox::Choose(const PortChoice& port) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (SamePort(entries_[i].port, port)) setCurrentIndex(static_cast<int>(i));
    }
}

void PortComboBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

}  // namespace kestrel
