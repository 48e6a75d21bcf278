#pragma once
// The port list: asks for the ports present each time it opens, so an
// adapter plugged in while the dialog is up can be chosen at once; the
// chosen port stays chosen while it is present, else the first is chosen.

#include <QComboBox>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/port_choices.h"

namespace kestrel {

using PortLister = std::function<std::vector<PortListEntry>()>;

class PortComboBox : public QComboBox {
    Q_OBJECT

  public:
    PortComboBox(PortLister list, QWidget* parent);

    void Refresh();
    // The chosen port for a request; nullopt when the list is empty.
    std::optional<PortChoice> ChosenPort() const;
    // Chooses the port when the list holds it; otherwise nothing changes.
    void Choose(const PortChoice& port);

    void showPopup() override;

  private:
    PortLister list_;
    std::vector<PortListEntry> entries_;  // in list order
};

}  // namespace kestrel
