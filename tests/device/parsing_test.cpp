// The pure parts of the handheld: reading PC frames and payloads, and turning
// device texts into disk names.
#include <gtest/gtest.h>

#include "device/device_paths.h"
#include "device/pc_packet.h"
#include "tests/device/scripted_pc.h"

namespace kestrel {
namespace {

using test::Bytes;

TEST(PcFrame, RefusesFramesOfTheWrongSize) {
    EXPECT_FALSE(ParsePcFrame(Bytes{0x05, 0x00}));
    EXPECT_FALSE(ParsePcFrame(Bytes{0x05, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(ParsePcFrame(Bytes{0x04, 0x02, 0x00, 0x61, 0x62}));  // checksum missing
    EXPECT_FALSE(ParsePcFrame(Bytes(4 + 0x100, 0x00)));               // length 0 announced
}

TEST(PcPayloads, TextsNeedTheirPrefixAndOneClosingNul) {
    EXPECT_EQ(ParseDirectoryPayload(Bytes{0x2F, 0x00}), "");
    EXPECT_EQ(ParseDirectoryPayload(Bytes{0x2F, 0x4C, 0x41, 0x00}), "LA");
    EXPECT_FALSE(ParseDirectoryPayload(Bytes{0x4C, 0x00}));
    EXPECT_FALSE(ParseDirectoryPayload(Bytes{0x2F, 0x4C}));
    EXPECT_FALSE(ParseDirectoryPayload(Bytes{0x2F, 0x61, 0x00, 0x62, 0x00}));
    EXPECT_EQ(ParseNewFilePayload(Bytes{0xEF, 0xEF, 0x61, 0x00}), "a");
    EXPECT_FALSE(ParseNewFilePayload(Bytes{0xEF, 0x00, 0x61, 0x00}));

    const auto open = ParseOpenFilePayload(Bytes{0x2F, 0x00, 0x61, 0x2E, 0x64, 0x00});
    ASSERT_TRUE(open);  // a zero directory byte is the root, not the end of the text
    EXPECT_EQ(open->directoryByte, 0x00);
    EXPECT_EQ(open->name, "a.d");
    EXPECT_EQ(ParseReadRequestPayload(Bytes{0x00, 0x04}), 1024);
    EXPECT_FALSE(ParseReadRequestPayload(Bytes{0x00, 0x04, 0x00}));
}

TEST(DevicePaths, ChecksTheNameTheDiskWillSee) {
    const NameMapper toDots = [](std::string_view) { return std::filesystem::path(".."); };
    EXPECT_FALSE(MapFileName("fine", toDots));
    const NameMapper none = [](std::string_view) { return std::optional<std::filesystem::path>(); };
    EXPECT_FALSE(MapDirectory("fine", none));
    EXPECT_EQ(MapDirectory("a/b", KeepBytes), (std::vector<std::filesystem::path>{"a", "b"}));

    const std::string gbk = "\x81\x5C";  // one GBK character whose second byte is 0x5C
    EXPECT_FALSE(MapFileName(gbk, KeepBytes));
    const NameMapper converting = [](std::string_view text) {
        return std::optional(std::filesystem::path(text.size() == 2 ? "乗" : "?"));
    };
    EXPECT_EQ(MapFileName(gbk, converting), std::filesystem::path("乗"));
}

}  // namespace
}  // namespace kestrel
