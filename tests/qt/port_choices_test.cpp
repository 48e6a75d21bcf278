// The port list: stable names, the virtual handheld, refreshing on opening.
#include "app/qt/port_choices.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include "app/qt/dialog_texts.h"
#include "app/qt/port_combo_box.h"
#include "link/memory_port.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

TEST(PortChoices, ShowStableNamesWhereTheyExistAndTheVirtualHandheldLast) {
    ScratchDir scratch;
    fs::create_directories(scratch / "dev");
    fs::create_directories(scratch / "by-id");
    WriteFileText(scratch / "dev" / "ttyUSB0", "");
    WriteFileText(scratch / "dev" / "ttyS0", "");
    fs::create_symlink("../dev/ttyUSB0", scratch / "by-id" / "usb-Maker_B-port0");
    fs::create_symlink("../dev/ttyUSB0", scratch / "by-id" / "usb-Maker_A-port0");
    fs::create_symlink("../dev/gone", scratch / "by-id" / "usb-Dangling");

    const std::string usb = (scratch / "dev" / "ttyUSB0").string();
    const std::string s0 = (scratch / "dev" / "ttyS0").string();
    const auto choices = ListPortChoices({s0, usb}, scratch / "by-id");
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].label, s0);
    EXPECT_EQ(choices[0].portName, s0);
    EXPECT_EQ(choices[1].label, "usb-Maker_A-port0");
    EXPECT_EQ(choices[1].portName, (scratch / "by-id" / "usb-Maker_A-port0").string());
    EXPECT_EQ(choices[2].label, "虚拟文曲星");
    EXPECT_EQ(choices[2].portName, texts::kVirtualHandheld);

    const auto without = ListPortChoices({usb}, scratch / "no-such-folder");
    ASSERT_EQ(without.size(), 2u);
    EXPECT_EQ(without[0].label, usb);
}

TEST(PortChoices, TheOpenerSendsSerialNamesOnAndOpensAFreshVirtualHandheld) {
    ScratchDir scratch;
    std::vector<std::string> asked;
    const PortOpener open = DialogPortOpener(scratch / "handheld", [&](std::string_view name) {
        asked.emplace_back(name);
        return OpenedPort{nullptr, "refused"};
    });
    EXPECT_EQ(open("/dev/ttyUSB0").reason, "refused");
    EXPECT_EQ(asked, std::vector<std::string>{"/dev/ttyUSB0"});

    for (int run = 0; run < 2; ++run) {
        OpenedPort handheld = open(texts::kVirtualHandheld);
        ASSERT_NE(handheld.port, nullptr);
        std::uint8_t greeting = 0;
        ASSERT_EQ(handheld.port->Read(std::span(&greeting, 1), std::chrono::seconds(5)),
                  IoStatus::ok);
        EXPECT_EQ(greeting, 'W');
    }
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(fs::is_directory(scratch / "handheld"));
}

TEST(PortComboBox, RefreshesWhenOpenedKeepingTheChosenPortWhilePresent) {
    std::vector<PortChoice> present = {{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}};
    PortComboBox box([&] { return present; }, nullptr);
    EXPECT_EQ(box.ChosenPortName(), "/dev/ttyS0");
    box.setCurrentIndex(1);

    present.insert(present.begin(), {"ttyACM0", "/dev/ttyACM0"});
    box.showPopup();
    box.hidePopup();
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.ChosenPortName(), "/dev/ttyUSB0");

    present.pop_back();  // the chosen adapter was pulled
    box.showPopup();
    box.hidePopup();
    EXPECT_EQ(box.count(), 2);
    EXPECT_EQ(box.ChosenPortName(), "/dev/ttyACM0");

    present.clear();
    box.Refresh();
    EXPECT_EQ(box.ChosenPortName(), std::nullopt);
}

}  // namespace
}  // namespace kestrel::test
