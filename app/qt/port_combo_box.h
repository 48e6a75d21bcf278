#pragma once
// The port list: the closed box shows a port's short name, the open list
// and the tooltip its whole path. Opening the list asks for it anew first
// (onOpen), so an adapter plugged in while the dialog is up can be chosen.

#include <QComboBox>
#include <functional>
#include <vector>

#include "app/core/port_list.h"

namespace kestrel {

class PortComboBox : public QComboBox {
  public:
    explicit PortComboBox(QWidget* parent);

    void Show(const std::vector<PortListEntry>& ports, std::size_t chosen);
    void showPopup() override;

    std::function<void()> onOpen;
};

}  // namespace kestrel
