// The port list: stable names, the virtual handheld, refreshing on opening.
#include "app/qt/port_choices.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include "app/qt/dialog_texts.h"
#include "app/qt/port_combo_box.h"
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
