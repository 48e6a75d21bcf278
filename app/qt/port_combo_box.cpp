#include "app/qt/port_combo_box.h"

#include <QAbstractItemView>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "app/qt/qt_text.h"

namespace kestrel {
namespace {

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

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    view()->setItemDelegate(new WholeNameDelegate(this));
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { setToolTip(itemData(index, Qt::ToolTipRole).toString()); });
}

void PortComboBox::Show(const std::vector<PortListEntry>& ports, std::size_t chosen) {
    const QSignalBlocker quiet(this);  // the list changes; the choice is the controller's
    clear();
    for (const PortListEntry& entry : ports) {
        addItem(QStringFromUserText(entry.label));
        setItemData(count() - 1, QStringFromUserText(entry.detail), Qt::ToolTipRole);
    }
    setCurrentIndex(static_cast<int>(chosen));
    setToolTip(itemData(currentIndex(), Qt::ToolTipRole).toString());
    // Stable names are long; the open list shows them whole.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 8);
}

void PortComboBox::showPopup() {
    if (onOpen) onOpen();
    QComboBox::showPopup();
}

}  // namespace kestrel
