// The Qt dialog under the shared dialog cases: controls found by their ids,
// input sent as the events a user's would make.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/qt/main_dialog.h"
#include "app/qt/qt_text.h"
#include "tests/dialog_cases/dialog_cases.h"

namespace kestrel::test {
namespace {

class QtDriver final : public DialogDriver {
  public:
    explicit QtDriver(Rig& rig) {
        services_.listSerialPorts = [] { return std::vector<std::string>{"/dev/ttySILENT"}; };
        services_.stableNameFolder = rig.folder / "by-id";
        services_.files = rig.files;
        services_.pickFile = [&rig](QWidget*, const QString&) { return rig.pick; };
        services_.settingsFile = QStringFromPath(rig.folder / "settings.ini");
        Open();
    }

    void Open() override {
        dialog_.reset();
        dialog_ = std::make_unique<MainDialog>(services_);
        dialog_->show();
    }
    void SetText(Field box, const std::string& text) override {
        Line(box).setText(QString::fromStdString(text));
    }
    void Type(Field box, const std::string& text) override {
        for (const QChar c : QString::fromStdString(text)) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&Line(box), &press);
        }
    }
    std::string Text(Field field) override {
        if (field == Field::title) return dialog_->windowTitle().toStdString();
        if (field == Field::exitButton) return Find<QPushButton>(1005).text().toStdString();
        if (field == Field::port) return Find<QComboBox>(1012).currentText().toStdString();
        return Line(field).text().toStdString();
    }
    void ChoosePort(bool silent) override {
        auto& ports = Find<QComboBox>(1012);
        ports.setCurrentIndex(ports.findText(silent ? "ttySILENT" : "虚拟文曲星"));
    }
    void Press(Button button) override {
        if (button == Button::escape) return QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        if (button == Button::closeBox) return static_cast<void>(dialog_->close());
        constexpr int kIds[] = {1003, 1004, 1005, 1006};
        Find<QPushButton>(kIds[static_cast<int>(button)]).click();
    }
    void Drop(const std::vector<std::filesystem::path>& files) override {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& file : files) urls.push_back(QUrl::fromLocalFile(QStringFromPath(file)));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog_.get(), &enter);
        QDropEvent drop(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(dialog_.get(), &drop);
    }
    bool Ended() override { return !dialog_->isVisible(); }
    bool Running() override { return dialog_->TransferRunning(); }
    bool RunUntil(const std::function<bool()>& done) override {
        const bool reached = QTest::qWaitFor(done, 20000);
        EXPECT_TRUE(reached) << "the dialog did not get there";
        return reached;
    }
    bool Photograph(const std::string& file) override {
        QString shown;
        for (const QWidget* control : dialog_->findChildren<QWidget*>()) {
            shown += control->property("text").toString();
        }
        const std::u32string all = shown.toStdU32String();
        const QFontMetrics font(dialog_->font());
        return dialog_->grab().save(QString::fromStdString(file)) &&
               std::all_of(all.begin(), all.end(), [&](char32_t c) { return font.inFontUcs4(c); });
    }

  private:
    template <typename Control>
    Control& Find(int id) {  // "box1000", "button1003"
        const char* kind = std::is_same_v<Control, QPushButton> ? "button" : "box";
        return *dialog_->findChild<Control*>(QStringLiteral("%1%2").arg(kind).arg(id));
    }
    QLineEdit& Line(Field box) {
        if (box == Field::deviceDirectory) return *Find<QComboBox>(1002).lineEdit();
        return Find<QLineEdit>(box == Field::status ? 1007 : 1000 + static_cast<int>(box));
    }

    DialogServices services_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace

std::unique_ptr<DialogDriver> MakeDialogDriver(Rig& rig) {
    return std::make_unique<QtDriver>(rig);
}

}  // namespace kestrel::test

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return kestrel::test::RunCasesOrPhotograph();
}
