#pragma once
// A KESTREL dialog for one test, with everything outside stood in for: the
// serial ports listed and opened are the test's, the picker returns what the
// test says, the virtual handheld and the scratch file live in a scratch
// folder. Set the members before the first Dialog() call.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/main_dialog.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {

class DialogFixture : public ::testing::Test {
  protected:
    DialogFixture();
    ~DialogFixture() override;

    MainDialog& Dialog();
    // The control of the template's id (boxes and lists are "box<id>").
    template <typename Control>
    Control& Find(const char* kind, int id) {
        auto* control = Dialog().findChild<Control*>(QStringLiteral("%1%2").arg(kind).arg(id));
        EXPECT_NE(control, nullptr) << "no " << kind << id;
        return *control;
    }
    QLineEdit& Box(int id) { return Find<QLineEdit>("box", id); }
    QComboBox& List(int id) { return Find<QComboBox>("box", id); }
    QPushButton& Button(int id) { return Find<QPushButton>("button", id); }
    QString Status() { return Box(1007).text(); }

    // Fills the three boxes (UTF-8 texts).
    void Fill(const std::filesystem::path& pcPath, const std::string& name,
              const std::string& directory);
    void ChooseVirtualHandheld();
    // Presses a button and says whether that started a transfer.
    bool PressStarts(int id);
    // Lets the dialog run until its transfer has ended; false after 20 s.
    bool WaitForEnd();
    bool CommandsEnabled();

    ScratchDir scratch;
    std::vector<std::string> serialPorts;       // what the port list finds
    std::vector<std::string> serialOpens;       // names the dialog tried to open
    std::optional<std::filesystem::path> pick;  // what the picker returns
    std::vector<QString> pickerInitials;        // what the picker was offered
    DialogServices services;

  private:
    std::unique_ptr<MainDialog> dialog_;
};

// The UTF-8 text as a QString, for comparing with what a box shows.
QString Q(const std::string& utf8);

// Types the text into the widget one character at a time, as a keyboard
// (or an input method) would; QTest's own typing knows only ASCII.
void Type(QWidget& widget, const QString& text);

}  // namespace kestrel::test

// Readable failures: gtest shows a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
