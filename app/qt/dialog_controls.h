#pragma once
// The dialog's controls, made from its template (dialog_layout.h) in
// template order, which makes the tab order, and placed in pixels through
// the dialog font. Each control's objectName carries its id ("box1000",
// "button1003"), so tests and tools can find it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/qt/port_combo_box.h"

namespace kestrel {

struct DialogControls {
    QLineEdit* pcPath = nullptr;           // 1000
    QLineEdit* deviceName = nullptr;       // 1001, 14 bytes of GBK
    QComboBox* deviceDirectory = nullptr;  // 1002, editable, 14 bytes of GBK
    PortComboBox* port = nullptr;          // 1012
    QLineEdit* status = nullptr;           // 1007, read-only
    QPushButton* download = nullptr;       // 1003
    QPushButton* upload = nullptr;         // 1004
    QPushButton* exit = nullptr;           // 1005
    QPushButton* browse = nullptr;         // 1006
    QCheckBox* fetchAsUtf8 = nullptr;      // 1014
};

// Sets the dialog's font and fixed size, and makes every control as its child.
DialogControls BuildControls(QDialog& dialog, PortLister listPorts);

}  // namespace kestrel
