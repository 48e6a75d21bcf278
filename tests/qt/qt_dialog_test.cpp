// The Qt dialog as a user drives it, through the virtual handheld: a picked
// text sent and fetched back, then an application image without a table,
// whose long reason the status line must show whole. With
// KESTREL_SCREENSHOTS=FOLDER it photographs the dialog after each run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "app/qt/main_dialog.h"
#include "app/qt/qt_text.h"
#include "tests/support/gbk.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

fs::path U8(const char* utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8)));
}

template <typename Control>
Control& Find(QWidget& dialog, const char* name) {
    return *dialog.findChild<Control*>(QString::fromLatin1(name));
}

// Saves the dialog as FOLDER/name when asked; false when a text shown has
// no glyph in the dialog's font.
bool Photograph(QWidget& dialog, const char* name) {
    const char* folder = std::getenv("KESTREL_SCREENSHOTS");
    if (folder == nullptr) return true;
    QTest::qWait(300);  // drawn
    QString shown;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        shown += control->property("text").toString();
    }
    const std::u32string all = shown.toStdU32String();
    const QFontMetrics font(dialog.font());
    return dialog.grab().save(QStringFromPath(fs::path(folder) / name)) &&
           std::all_of(all.begin(), all.end(), [&](char32_t c) { return font.inFontUcs4(c); });
}

TEST(QtDialog, SendsFetchesAndShowsALongReasonWhole) {
    ScratchDir scratch;
    const Bytes note = FromText(Gbk("读书笔记\r\n第二行\r\n"));
    WriteFileBytes(scratch / U8("读书笔记.TXT"), note);
    WriteFileText(scratch / "GAME.BIN", "not decoded without a table");
    std::optional<fs::path> pick;
    DialogServices services;
    services.ports = {{}, [] { return std::vector<std::string>{}; }, scratch / "by-id"};
    services.files.handheldRoot = scratch / "handheld";
    services.files.tempDirectory = scratch.Path();
    services.files.tableFolders = {scratch / U8("程序的数据文件夹")};
    services.pickFile = [&pick](QWidget*, const QString&) { return pick; };
    services.settingsFile = QStringFromPath(scratch / "settings.ini");
    MainDialog dialog(services);
    dialog.show();
    auto& status = Find<QLabel>(dialog, "box1007");
    EXPECT_EQ(Find<QComboBox>(dialog, "box1012").currentText(), "虚拟文曲星")
        << "without a port present, the built-in handheld";
    const auto press = [&](const char* button) {
        Find<QPushButton>(dialog, button).click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.TransferRunning(); }, 20000));
    };

    pick = scratch / U8("读书笔记.TXT");
    press("button1006");  // 浏览
    EXPECT_EQ(Find<QLineEdit>(dialog, "box1001").text(), "读书笔记.txt");
    press("button1003");  // 下载
    EXPECT_TRUE(status.text().endsWith("传输成功。")) << status.text().toStdString();
    EXPECT_EQ(ReadFileBytes(scratch / "handheld" / U8("文本文件") / U8("读书笔记.txt")).size(),
              24 + note.size());
    EXPECT_TRUE(Photograph(dialog, "dialog.png"));

    pick = scratch / "BACK.TXT";
    press("button1006");
    auto& name = Find<QLineEdit>(dialog, "box1001");
    QTest::keyClick(&name, Qt::Key_A, Qt::ControlModifier);
    QInputMethodEvent typed;  // what an input method hands over
    typed.setCommitString("读书笔记.txt");
    QCoreApplication::sendEvent(&name, &typed);
    press("button1004");  // 上传
    EXPECT_TRUE(status.text().endsWith("传输成功。")) << status.text().toStdString();
    EXPECT_EQ(ReadFileBytes(scratch / "BACK.TXT"), note);

    pick = scratch / "GAME.BIN";
    press("button1006");
    press("button1003");
    const QString reason = QString("终止传输：没有可用的解码表文件substitution.table（请放在%1）")
                               .arg(QStringFromPath(scratch / U8("程序的数据文件夹")));
    EXPECT_EQ(status.text(), reason);
    EXPECT_LE(status.heightForWidth(status.width()), status.height()) << "wrapped, and whole";
    EXPECT_TRUE(Photograph(dialog, "dialog-long-reason.png"));
}

}  // namespace
}  // namespace kestrel::test

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
