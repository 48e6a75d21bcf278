// What the dialog does with its boxes, buttons, port list and dropped files,
// short of a transfer reaching the handheld: refusals that leave no trace,
// the port name that reaches the opener, Browse and drop, and the limits on
// what the boxes take.

#include <gtest/gtest.h>

#include "app/win32/resource_ids.h"
#include "tests/app/user_text.h"
#include "tests/support/gbk.h"
#include "tests/win32/dialog/dialog_driver.h"

namespace kestrel::test {
namespace {

class DialogCommands : public ::testing::Test {
  protected:
    DialogCommands() : driver(RefusingOpener(ports), picker, {"COM7", "COM2", "COM10"}) {}

    void FillBoxes(const std::string& name, const std::string& directory) {
        driver.SetText(IDC_PC_PATH, L"C:\\notes\\a.txt");
        driver.SetText(IDC_DEVICE_NAME, User(name));
        driver.SetText(IDC_DEVICE_DIRECTORY, User(directory));
    }

    // A refused press starts nothing and writes nothing.
    void ExpectRefused(int button) {
        driver.Press(button);
        EXPECT_FALSE(driver.Dialog().TransferRunning());
        EXPECT_EQ(driver.Text(IDC_STATUS), L"");
        EXPECT_TRUE(IsWindowEnabled(driver.Item(button)));
    }

    std::vector<std::wstring> PortEntries() {
        std::vector<std::wstring> entries;
        HWND list = driver.Item(IDC_PORT);
        const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
        for (WPARAM index = 0; index < static_cast<WPARAM>(count); ++index) {
            std::wstring entry(
                static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)), L'\0');
            entry.resize(static_cast<std::size_t>(
                SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry.data()))));
            entries.push_back(entry);
        }
        return entries;
    }

    StubPicker picker;
    PortLog ports;
    DialogDriver driver;
};

TEST_F(DialogCommands, StartsWithTheFourPortsAndThosePresentAndCom1Selected) {
    EXPECT_EQ(PortEntries(),
              (std::vector<std::wstring>{L"COM1", L"COM10", L"COM2", L"COM3", L"COM4", L"COM7"}))
        << "COM2 is listed once, however often it is present";
    EXPECT_EQ(driver.Text(IDC_PORT), L"COM1");
    HWND directories = driver.Item(IDC_DEVICE_DIRECTORY);
    EXPECT_EQ(SendMessageW(directories, CB_GETCOUNT, 0, 0), 2);
    EXPECT_NE(SendMessageW(directories, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"LavaData")),
              CB_ERR);
}

TEST_F(DialogCommands, RefusesSilentlyWhenABoxIsEmpty) {
    FillBoxes("a.txt", "");
    ExpectRefused(IDC_DOWNLOAD);
    FillBoxes("", "LAVA");
    ExpectRefused(IDC_UPLOAD);
    FillBoxes("a.txt", "LAVA");
    driver.SetText(IDC_PC_PATH, L"");
    ExpectRefused(IDC_DOWNLOAD);
    EXPECT_TRUE(ports.Names().empty());
}

TEST_F(DialogCommands, RefusesSilentlyASpaceInTheNameOrDirectory) {
    FillBoxes("a b.txt", "LAVA");
    ExpectRefused(IDC_DOWNLOAD);
    FillBoxes("a.txt", "La va");
    ExpectRefused(IDC_UPLOAD);
    EXPECT_TRUE(ports.Names().empty());
}

TEST_F(DialogCommands, RefusesSilentlyANameGbkCannotHold) {
    FillBoxes("a.txt", "LAVA");
    driver.SetText(IDC_DEVICE_NAME, L"\xD55C.txt");  // Hangul
    ExpectRefused(IDC_DOWNLOAD);
}

TEST_F(DialogCommands, NamesThePortBySelectedEntry) {
    FillBoxes("a.txt", "LAVA");
    driver.SelectPort(L"COM3");
    driver.Press(IDC_DOWNLOAD);
    EXPECT_TRUE(driver.Dialog().TransferRunning());
    ASSERT_TRUE(driver.WaitForTransferEnd());
    driver.SelectPort(L"COM7");
    driver.Press(IDC_UPLOAD);
    ASSERT_TRUE(driver.WaitForTransferEnd());
    EXPECT_EQ(ports.Names(), (std::vector<std::string>{"COM3", "COM7"}));
}

TEST_F(DialogCommands, SaysOnTheStatusLineWhyThePortDidNotOpen) {
    FillBoxes("a.txt", "LAVA");
    driver.SelectPort(L"COM3");
    driver.Press(IDC_DOWNLOAD);
    ASSERT_TRUE(driver.WaitForTransferEnd());
    EXPECT_EQ(driver.Text(IDC_STATUS), User("无法打开串口COM3!(test)"));
    for (const int button : {IDC_DOWNLOAD, IDC_UPLOAD, IDC_BROWSE}) {
        EXPECT_TRUE(IsWindowEnabled(driver.Item(button))) << "enabled again after the run";
    }
}

TEST_F(DialogCommands, IgnoresOtherNotificationsAndCommands) {
    FillBoxes("a.txt", "LAVA");
    SendMessageW(driver.Window(), WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD, BN_DOUBLECLICKED), 0);
    for (const int id : {IDOK, IDCANCEL}) driver.Press(id);  // Enter and Escape
    EXPECT_FALSE(driver.Dialog().TransferRunning());
    EXPECT_NE(driver.Window(), nullptr);
    EXPECT_TRUE(ports.Names().empty());
}

TEST_F(DialogCommands, ExitEndsTheDialog) {
    driver.Press(IDC_EXIT);
    EXPECT_EQ(driver.Window(), nullptr);
}

TEST_F(DialogCommands, BrowseFillsTheBoxesFromThePickedFile) {
    driver.SetText(IDC_PC_PATH, L"C:\\before.txt");
    picker.answer = L"C:\\pictures\\PHOTO.BMP";
    driver.Press(IDC_BROWSE);
    EXPECT_EQ(picker.offered, std::vector<std::wstring>{L"C:\\before.txt"});
    EXPECT_EQ(driver.Text(IDC_PC_PATH), L"C:\\pictures\\PHOTO.bmp");
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), L"PHOTO.bmp");
    EXPECT_EQ(driver.Text(IDC_DEVICE_DIRECTORY), User("我的图片"));
}

TEST_F(DialogCommands, CancelledBrowseLeavesTheBoxesAsTheyWere) {
    FillBoxes("a.txt", "LAVA");
    picker.answer.reset();
    driver.Press(IDC_BROWSE);
    EXPECT_EQ(picker.offered.size(), 1u);
    EXPECT_EQ(driver.Text(IDC_PC_PATH), L"C:\\notes\\a.txt");
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), L"a.txt");
    EXPECT_EQ(driver.Text(IDC_DEVICE_DIRECTORY), L"LAVA");
}

TEST_F(DialogCommands, BrowseTakesPathsLongerThanTheTypingLimit) {
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'd') + L"\\archive.pac";
    picker.answer = longPath;
    driver.Press(IDC_BROWSE);
    EXPECT_EQ(driver.Text(IDC_PC_PATH), longPath);
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), User("下载包"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_DIRECTORY), L"*");
}

TEST_F(DialogCommands, ADroppedFileFillsTheBoxesAsBrowseWould) {
    const std::wstring dropped = User("D:\\资料\\程序.LAV");
    SendMessageW(driver.Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)), 0);
    EXPECT_EQ(driver.Text(IDC_PC_PATH), User("D:\\资料\\程序.lav"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), User("程序.lav"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_DIRECTORY), L"LAVA");
    EXPECT_TRUE(picker.offered.empty()) << "a drop needs no picker";
}

TEST_F(DialogCommands, TypedDeviceNamesStopAtFourteenBytesOfGbk) {
    driver.Type(IDC_DEVICE_NAME, User("一二三四五六七八"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), User("一二三四五六七"));
    driver.SetText(IDC_DEVICE_NAME, L"");
    driver.Type(IDC_DEVICE_NAME, User("abcdefghijklm文"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), L"abcdefghijklm") << "no half character";
}

TEST_F(DialogCommands, APasteIntoAFullNameKeepsWhatWasThere) {
    driver.Type(IDC_DEVICE_NAME, User("一二三四五六七"));
    SendDlgItemMessageW(driver.Window(), IDC_DEVICE_NAME, EM_SETSEL, 2, 2);
    driver.Paste(IDC_DEVICE_NAME, User("甲乙"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), User("一二三四五六七"));
    driver.Type(IDC_DEVICE_NAME, L"x");
    EXPECT_EQ(driver.Text(IDC_DEVICE_NAME), User("一二三四五六七"));
}

TEST_F(DialogCommands, TypedDirectoriesStopAtFourteenBytesOfGbk) {
    driver.Type(IDC_DEVICE_DIRECTORY, User("文本文件"));
    driver.Paste(IDC_DEVICE_DIRECTORY, User("和更多的文件"));
    EXPECT_EQ(driver.Text(IDC_DEVICE_DIRECTORY), User("文本文件和更多"));
}

TEST_F(DialogCommands, TypedPcPathsStopAt260Characters) {
    driver.Paste(IDC_PC_PATH, std::wstring(300, L'p'));
    EXPECT_EQ(driver.Text(IDC_PC_PATH), std::wstring(260, L'p'));
}

}  // namespace
}  // namespace kestrel::test
