// Whole transfers started from the dialog: a download and an upload against
// the virtual handheld on "COM1" (an in-memory line; the serial backend has
// tests of its own), PC paths outside GBK and the system's code page, and
// what the dialog does while a run goes on and when it is closed mid-run.

#include <gtest/gtest.h>

#include <atomic>

#include "app/device_disk_names.h"
#include "app/win32/resource_ids.h"
#include "device/builtin_port.h"
#include "link/memory_port.h"
#include "tests/app/user_text.h"
#include "tests/support/scratch_dir.h"
#include "tests/win32/dialog/dialog_driver.h"

namespace kestrel::test {
namespace {

// A folder name in Hangul with a smiling face: neither GBK nor, on most
// machines, the system's code page.
const std::wstring kForeignFolder = L"\xD55C\xAE00\xD83D\xDE00";

const std::string kNote = "first line\r\nsecond line\r\n";

class DialogTransfer : public ::testing::Test {
  protected:
    DialogTransfer() {
        std::filesystem::create_directories(scratch / "temp");
        std::filesystem::create_directories(pcFolder());
    }

    // "COM1" leads to the virtual handheld; every other port fails to open.
    DialogSetup MakeSetup() {
        DialogSetup setup;
        setup.transfer.tempDirectory = scratch / "temp";
        setup.transfer.openPort = [this](std::string_view name) {
            ports.Add(name);
            if (name != "COM1") return OpenedPort{nullptr, "(test)"};
            return OpenedPort{OpenBuiltInHandheld(deviceRoot(), DiskNameForDeviceText), ""};
        };
        setup.pickFile = [this](HWND, const std::wstring&) { return picker.answer; };
        setup.listPorts = [] { return std::vector<std::string>{}; };
        return setup;
    }

    std::filesystem::path deviceRoot() const { return scratch / "device"; }
    std::filesystem::path pcFolder() const { return scratch / kForeignFolder; }

    ScratchDir scratch;
    StubPicker picker;
    PortLog ports;
};

TEST_F(DialogTransfer, DownloadsAPickedTextFileThroughCom1) {
    WriteFileText(pcFolder() / User("读书笔记.TXT"), kNote);
    DialogDriver driver(MakeSetup());
    picker.answer = pcFolder() / User("读书笔记.TXT");
    driver.Press(IDC_BROWSE);
    driver.Press(IDC_DOWNLOAD);
    ASSERT_TRUE(driver.WaitForTransferEnd());

    EXPECT_EQ(ports.Names(), std::vector<std::string>{"COM1"});
    EXPECT_EQ(driver.Text(IDC_STATUS), User("传输成功。"));
    const auto sent = ReadFileBytes(deviceRoot() / User("文本文件") / User("读书笔记.txt"));
    // The handheld's text header, then the text as it was.
    ASSERT_EQ(sent.size(), 24 + kNote.size());
    EXPECT_EQ(std::string(sent.begin() + 24, sent.end()), kNote);
}

TEST_F(DialogTransfer, UploadsIntoAPathOutsideTheCodePage) {
    std::vector<std::uint8_t> game(3000);
    for (std::size_t at = 0; at < game.size(); ++at) game[at] = static_cast<std::uint8_t>(at * 7);
    std::filesystem::create_directories(deviceRoot() / L"LAVA");
    WriteFileBytes(deviceRoot() / L"LAVA" / L"game.lav", game);
    DialogDriver driver(MakeSetup());
    const std::filesystem::path target = pcFolder() / User("游戏.lav");
    driver.SetText(IDC_PC_PATH, target.native());
    driver.SetText(IDC_DEVICE_NAME, L"game.lav");
    driver.SetText(IDC_DEVICE_DIRECTORY, L"LAVA");
    driver.Press(IDC_UPLOAD);
    ASSERT_TRUE(driver.WaitForTransferEnd());

    EXPECT_EQ(driver.Text(IDC_STATUS), User("传输成功。"));
    EXPECT_EQ(ReadFileBytes(target), game);
}

class DialogWithSilentHandheld : public DialogTransfer {
  protected:
    DialogWithSilentHandheld() : line(MakeMemoryPortPair()) {
        WriteFileText(pcFolder() / L"a.dat", "abc");
        DialogSetup setup = MakeSetup();
        setup.transfer.openPort = [this](std::string_view name) {
            ports.Add(name);
            return OpenedPort{std::make_unique<WatchedPort>(std::move(line.first), closed), ""};
        };
        driver = std::make_unique<DialogDriver>(std::move(setup));
        driver->SetText(IDC_PC_PATH, (pcFolder() / L"a.dat").native());
        driver->SetText(IDC_DEVICE_NAME, L"a.dat");
        driver->SetText(IDC_DEVICE_DIRECTORY, L"LavaData");
    }

    // Starts a run that waits for a greeting that never comes.
    void StartWaitingRun() {
        driver->Press(IDC_DOWNLOAD);
        ASSERT_TRUE(driver->PumpUntil(
            [this] { return driver->Text(IDC_STATUS) == User("等待传输开始..."); }));
        ASSERT_TRUE(driver->PumpUntil([this] { return !ports.Names().empty(); }));
    }

    std::pair<std::unique_ptr<MemoryPort>, std::unique_ptr<MemoryPort>> line;
    std::atomic<bool> closed{false};
    std::unique_ptr<DialogDriver> driver;
};

TEST_F(DialogWithSilentHandheld, TakesNoSecondCommandWhileARunGoesOn) {
    StartWaitingRun();
    for (const int button : {IDC_DOWNLOAD, IDC_UPLOAD, IDC_BROWSE}) {
        EXPECT_FALSE(IsWindowEnabled(driver->Item(button))) << button;
    }
    EXPECT_TRUE(IsWindowEnabled(driver->Item(IDC_EXIT)));

    // Even a command that reaches the dialog anyway changes nothing.
    picker.answer = L"C:\\other.txt";
    driver->Press(IDC_DOWNLOAD);
    driver->Press(IDC_BROWSE);
    SendMessageW(driver->Window(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop(L"C:\\dropped.txt")), 0);
    EXPECT_EQ(driver->Text(IDC_PC_PATH), (pcFolder() / L"a.dat").native());
    EXPECT_FALSE(closed) << "the running transfer was disturbed";

    driver->Press(IDC_EXIT);
    ASSERT_TRUE(driver->PumpUntil([this] { return driver->Window() == nullptr; }));
    EXPECT_EQ(ports.Names().size(), 1u) << "a second run was started";
}

TEST_F(DialogWithSilentHandheld, ClosingMidRunCancelsItAndClosesThePortFirst) {
    StartWaitingRun();
    SendMessageW(driver->Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(driver->Window() != nullptr && IsWindowVisible(driver->Window()))
        << "the dialog should go at once";
    ASSERT_TRUE(driver->PumpUntil([this] { return driver->Window() == nullptr; }));
    EXPECT_TRUE(closed) << "the dialog ended before the port was put back";
}

TEST_F(DialogWithSilentHandheld, DestroyingTheDialogMidRunStopsTheRun) {
    StartWaitingRun();
    driver.reset();  // DestroyWindow with the run still waiting
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace kestrel::test
