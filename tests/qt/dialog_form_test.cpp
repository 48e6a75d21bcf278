// The dialog as the user first meets it, and what it refuses to start.
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "app/qt/dialog_layout.h"
#include "tests/qt/dialog_fixture.h"

namespace kestrel::test {
namespace {

class DialogForm : public DialogFixture {
  protected:
    DialogForm() {
        serialPorts = {"/dev/ttyTEST0", "/dev/ttyTEST1"};
        WriteFileText(scratch / "note.txt", "text");
    }

    // Neither command starts anything, and the status line stays empty.
    void ExpectRefused(const std::string& why) {
        EXPECT_FALSE(PressStarts(1003)) << why;
        EXPECT_FALSE(PressStarts(1004)) << why;
        QCoreApplication::processEvents();
        EXPECT_TRUE(serialOpens.empty()) << why;
        EXPECT_EQ(Status(), QString()) << why;
        EXPECT_TRUE(CommandsEnabled()) << why;
    }
};

TEST_F(DialogForm, ShowsTheTemplatesTextsWithTheFirstPortChosen) {
    EXPECT_EQ(Dialog().windowTitle(), "KESTREL");
    QStringList labels;
    for (const QLabel* label : Dialog().findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"电脑文件", "文曲星文件", "文曲星目录"}) {
        EXPECT_TRUE(labels.contains(Q(text))) << text;
    }
    const std::pair<int, const char*> buttons[] = {
        {1003, "下载"}, {1004, "上传"}, {1005, "退出"}, {1006, "浏览"}};
    for (const auto& [id, text] : buttons) EXPECT_EQ(Button(id).text(), Q(text));
    ASSERT_EQ(List(1002).count(), 2);
    EXPECT_EQ(List(1002).itemText(0), "LAVA");
    EXPECT_EQ(List(1002).itemText(1), "LavaData");
    EXPECT_EQ(List(1002).currentText(), QString());
    ASSERT_EQ(List(1012).count(), 3);
    EXPECT_EQ(List(1012).currentText(), "/dev/ttyTEST0");
    EXPECT_EQ(List(1012).itemText(2), Q("虚拟文曲星"));
}

TEST_F(DialogForm, PlacesControlsByDialogUnitsInTabOrder) {
    const BaseUnits base = BaseUnitsOf(QFontMetrics(Dialog().font()));
    ASSERT_GT(base.averageCharWidth, 0);
    EXPECT_EQ(Dialog().size(), ToPixels({0, 0, 198, 149}, base).size());
    EXPECT_EQ(Box(1000).geometry(), ToPixels({65, 19, 79, 12}, base));
    EXPECT_EQ(Button(1004).geometry(), ToPixels({75, 128, 34, 13}, base));
    EXPECT_EQ(List(1012).geometry().topLeft(), ToPixels({157, 40, 34, 59}, base).topLeft());

    // Tab order is the template's: 1000, 1001, 1003 ... 1002.
    const QStringList expected = {"box1000",    "box1001", "button1003", "button1004", "button1005",
                                  "button1006", "box1007", "box1012",    "box1002"};
    QStringList order;
    QWidget* widget = &Box(1000);
    for (int step = 0; step < 50 && order.size() < expected.size(); ++step) {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName())) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(order, expected);
}

TEST(DialogUnits, ConvertThroughTheFontsAverageWidthAndHeightRoundingToNearest) {
    const BaseUnits simSun10{7, 14};  // the Windows dialog font at 96 dpi
    EXPECT_EQ(ToPixels({65, 19, 79, 12}, simSun10), QRect(114, 33, 138, 21));
    EXPECT_EQ(ToPixels({0, 0, 198, 149}, simSun10).size(), QSize(347, 261));
    EXPECT_EQ(ToPixels({1, 1, 2, 3}, BaseUnits{6, 13}), QRect(2, 2, 3, 5));
}

TEST_F(DialogForm, RefusesSilentlyWhatTheHandheldCannotTake) {
    const auto note = scratch / "note.txt";
    Dialog();
    struct Case {
        const char* why;
        std::filesystem::path pc;
        std::string name, directory;
    };
    for (const Case& c : std::vector<Case>{{"no PC file", "", "note.txt", "LAVA"},
                                           {"no device name", note, "", "LAVA"},
                                           {"no directory", note, "note.txt", ""},
                                           {"space in the name", note, "my note.txt", "LAVA"},
                                           {"space in the directory", note, "note.txt", "La va"},
                                           {"15-byte name", note, "abcdefghijklmno", "LAVA"},
                                           {"16-byte directory", note, "a", "一二三四五六七八"}}) {
        Fill(c.pc, c.name, c.directory);
        ExpectRefused(c.why);
    }
    // A space in the PC path is fine, and so are 14 bytes of GBK.
    Fill(scratch / "a b.txt", "一二三四五六七", "一二三四五六七");
    for (const int command : {1003, 1004}) {
        EXPECT_TRUE(PressStarts(command)) << command;
        ASSERT_TRUE(WaitForEnd());
    }
}

TEST_F(DialogForm, BoxesTakeAtMostFourteenBytesOfGbk) {
    Type(Box(1001), Q("一二三四五六七八"));
    EXPECT_EQ(Box(1001).text(), Q("一二三四五六七"));
    Type(*List(1002).lineEdit(), Q("abcdefghijklmnopq"));
    EXPECT_EQ(List(1002).currentText(), "abcdefghijklmn");
    // A character GBK cannot hold cannot be typed at all.
    Box(1001).clear();
    Type(Box(1001), Q("aกb"));
    EXPECT_EQ(Box(1001).text(), "ab");
}

TEST_F(DialogForm, EscapeLeavesTheDialogOpenAndExitEndsIt) {
    QTest::keyClick(&Box(1001), Qt::Key_Escape);
    EXPECT_TRUE(Dialog().isVisible());
    QTest::mouseClick(&Button(1005), Qt::LeftButton);
    EXPECT_FALSE(Dialog().isVisible());
}

}  // namespace
}  // namespace kestrel::test
