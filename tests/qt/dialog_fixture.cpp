#include "tests/qt/dialog_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>

#include "app/qt/dialog_texts.h"

namespace kestrel::test {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void Type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&widget, &press);
    }
}

DialogFixture::DialogFixture() {
    services.listSerialPorts = [this] { return serialPorts; };
    services.stableNameFolder = scratch / "by-id";
    services.openSerialPort = [this](std::string_view name) {
        serialOpens.emplace_back(name);
        return OpenedPort{nullptr, "test"};
    };
    services.handheldRoot = scratch / "handheld";
    services.tempDirectory = scratch.Path();
    services.pickFile = [this](QWidget*, const QString& initial) {
        pickerInitials.push_back(initial);
        return pick;
    };
}

DialogFixture::~DialogFixture() {
    dialog_.reset();
}

MainDialog& DialogFixture::Dialog() {
    if (!dialog_) {
        dialog_ = std::make_unique<MainDialog>(services);
        dialog_->show();
    }
    return *dialog_;
}

void DialogFixture::Fill(const std::filesystem::path& pcPath, const std::string& name,
                         const std::string& directory) {
    Box(1000).setText(Q(pcPath.string()));
    Box(1001).setText(Q(name));
    List(1002).setEditText(Q(directory));
}

void DialogFixture::ChooseVirtualHandheld() {
    QComboBox& ports = List(1012);
    const int index =
        ports.findData(QByteArray::fromStdString(std::string(texts::kVirtualHandheld)));
    ASSERT_GE(index, 0) << "no virtual handheld";
    ports.setCurrentIndex(index);
}

bool DialogFixture::PressStarts(int id) {
    // click() runs the handler at once without looking at other events, so
    // a run cannot have ended (nor a text been shown) before the check.
    Button(id).click();
    return Dialog().TransferRunning();
}

bool DialogFixture::WaitForEnd() {
    return QTest::qWaitFor([this] { return !Dialog().TransferRunning(); }, 20000);
}

bool DialogFixture::CommandsEnabled() {
    const bool download = Button(1003).isEnabled();
    const bool upload = Button(1004).isEnabled();
    const bool browse = Button(1006).isEnabled();
    EXPECT_TRUE(download == upload && upload == browse) << "the three commands disagree";
    return download && upload && browse;
}

}  // namespace kestrel::test
