#pragma once
// The dialog's controls, made from its template (dialog_layout.h) in
// template order, which makes the tab order, and placed in pixels through
// the dialog font. Each control's objectName carries its id ("box1000",
// "button1003"), so tests and tools can find it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/qt/port_combo_box.h"

namespace kestrel {

struct DialogControls {
    QLineEdit* pcPath = nullptr;           // 1000
    QLineEdit* deviceName = nullptr;       // 1001
    QComboBox* deviceDirectory = nullptr;  // 1002, editable
    PortComboBox* port = nullptr;          // 1012
    QLabel* status = nullptr;              // 1007, wraps a long text
    // 1003 下载, 1004 上传, 1006 浏览, 1005 退出: in the order of Control.
    std::array<QPushButton*, 4> commands{};
    QPushButton* about = nullptr;      // 1015
    QCheckBox* fetchAsUtf8 = nullptr;  // 1014
};

// Sets the dialog's font and fixed size, and makes every control as its child.
DialogControls BuildControls(QDialog& dialog);

}  // namespace kestrel
