// Whole runs from the dialog: through the virtual handheld, against ports
// that fail to open, and closing the dialog while a run is going.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QTest>

#include "link/pseudo_terminal.h"
#include "tests/qt/dialog_fixture.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

class DialogTransferTest : public DialogFixture {};

TEST_F(DialogTransferTest, DownloadsAndUploadsThroughTheVirtualHandheld) {
    const fs::path note = scratch / "note.txt";
    const std::string text = "文曲星你好!\r\nHello.\r\n";
    WriteFileText(note, text);
    pick = note;
    Dialog();
    ChooseVirtualHandheld();
    QTest::mouseClick(&Button(1006), Qt::LeftButton);

    ASSERT_TRUE(PressStarts(1003));
    EXPECT_FALSE(CommandsEnabled()) << "while the download runs";
    EXPECT_TRUE(Button(1005).isEnabled()) << "Exit stays";
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(CommandsEnabled());
    EXPECT_EQ(Status(), Q("传输成功。"));
    // The handheld keeps it under its own names, with its 24-byte header.
    const fs::path stored = services.handheldRoot / "文本文件" / "note.txt";
    ASSERT_TRUE(fs::exists(stored));
    EXPECT_EQ(fs::file_size(stored), text.size() + 24);

    const fs::path back = scratch / "back.txt";
    Box(1000).setText(Q(back.string()));
    ASSERT_TRUE(PressStarts(1004));
    EXPECT_FALSE(CommandsEnabled()) << "while the upload runs";
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(CommandsEnabled());
    EXPECT_EQ(Status(), Q("传输成功。"));
    EXPECT_EQ(ReadFileBytes(back), ReadFileBytes(note));
}

TEST_F(DialogTransferTest, SaysWhyAPortCannotBeOpenedAndIsReadyAgain) {
    serialPorts = {(scratch / "ttyUSB7").string()};
    services.openSerialPort = OpenSerialPort;
    WriteFileText(scratch / "blocked", "a file where the folder should go");
    services.handheldRoot = scratch / "blocked";
    Fill(scratch / "a.lav", "a.lav", "LAVA");
    ASSERT_TRUE(PressStarts(1003));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Status(), Q("无法打开串口" + serialPorts[0] + "!没有这个串口"));
    EXPECT_TRUE(CommandsEnabled());

    ChooseVirtualHandheld();
    ASSERT_TRUE(PressStarts(1004));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Status(), Q("无法打开串口虚拟文曲星!无法建立虚拟文曲星的文件夹"));
}

speed_t SpeedOf(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return B0;
    return ::cfgetospeed(&settings);
}

TEST_F(DialogTransferTest, ClosingDuringARunCancelsItAndPutsThePortBack) {
    PseudoTerminal line;  // nobody answers on the far end: the run waits
    UniqueFd watcher(::open(line.SlavePath().c_str(), O_RDWR | O_NOCTTY));
    ASSERT_TRUE(watcher.Valid());
    termios found{};
    ASSERT_EQ(::tcgetattr(watcher.Get(), &found), 0);
    ::cfsetispeed(&found, B9600);
    ::cfsetospeed(&found, B9600);
    ASSERT_EQ(::tcsetattr(watcher.Get(), TCSANOW, &found), 0);

    serialPorts = {line.SlavePath()};
    services.openSerialPort = OpenSerialPort;
    Fill(scratch / "a.lav", "a.lav", "LAVA");
    WriteFileText(scratch / "a.lav", "program");
    ASSERT_TRUE(PressStarts(1003));
    ASSERT_TRUE(QTest::qWaitFor([&] { return SpeedOf(watcher.Get()) == B115200; }, 10000))
        << "the run never opened the port";

    Dialog().close();  // returns once the run has ended
    EXPECT_FALSE(Dialog().TransferRunning());
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(SpeedOf(watcher.Get()), B9600);
}

TEST_F(DialogTransferTest, ClosingWhileTheRunWaitsToShowATextDoesNotHang) {
    WriteFileText(scratch / "big.dat", std::string(200000, 'x'));
    Fill(scratch / "big.dat", "big.dat", "LavaData");
    Dialog();
    ChooseVirtualHandheld();
    ASSERT_TRUE(PressStarts(1003));
    // The worker's first text is waiting for this thread, which has not
    // looked at its events since the press.
    Button(1005).click();
    EXPECT_FALSE(Dialog().TransferRunning());
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_NE(Status(), Q("终止传输")) << "texts after closing are dropped";
}

}  // namespace
}  // namespace kestrel::test
