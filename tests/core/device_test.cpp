// The virtual handheld's session rules, as packet sequences and what each
// packet gets, and the path checks that keep its files inside its folder.
#include <gtest/gtest.h>

#include "handheld/device_session.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Step {
    std::uint8_t type;
    Bytes payload;
    bool accepted;
    int chunk = -1;  // the size of an accepted ReadRequest's chunk
    bool checksumOk = true;
};

Bytes Text(std::string_view lead, std::string_view text) {
    return Concat({FromText(lead), FromText(text), {0}});
}
Bytes Dir(std::string_view directory) {
    return Text("/", directory);
}
Bytes New(std::string_view name) {
    return Text("\xEF\xEF", name);
}
const Step kStart{1, Bytes(100, 0x20), true};
const Step kDirD{2, Dir("D"), true};

TEST(Device, SessionRules) {
    const Bytes abc = FromText("abc");
    // clang-format off
    const struct {
        const char* name;
        std::vector<Step> steps;
        const char* activity = "";  // the files written (w) and read (r), and their bytes
    } rows[] = {
        {"nothing before Start", {{2, Dir("D"), false}, {3, New("a"), false}, {8, Hex("00 04"), false},
                                  kStart}},
        {"a file written and read back", {kStart, kDirD, {3, New("n"), true}, {4, abc, true},
                                          {5, {}, true}, {7, Text("/D", "n"), true},
                                          {8, Hex("02 00"), true, 2}, {8, Hex("00 04"), true, 1},
                                          {8, Hex("00 04"), true, 0}}, "w D/n 3, r D/n 3"},
        {"a file cut off keeps the old one", {kStart, kDirD, {3, New("f"), true}, {4, abc, true}, kStart, kDirD,
                                              {7, Text("/D", "f"), true}, {8, Hex("00 04"), true, 4}},
         "w D/f 3, r D/f 4"},
        {"Data before NewFile", {kStart, kDirD, {4, abc, false}}},
        {"Data over 1024 bytes", {kStart, {3, New("n"), true}, {4, Bytes(1025, 1), false},
                                  {4, Bytes(1024, 1), true}}, "w /n 1024"},
        {"a spoiled checksum", {kStart, {3, New("n"), true}, {4, abc, false, -1, false}}, "w /n 0"},
        {"OpenFile of a missing file", {kStart, kDirD, {7, Text("/D", "none"), false}}},
        {"OpenFile with the wrong directory byte", {kStart, kDirD, {7, Text("/E", "f"), false}}},
        {"OpenFile in the root", {kStart, {2, Dir(""), true}, {7, Text("/\0"s, "r"), true}}, "r /r 0"},
        {"ReadRequest of nothing", {kStart, kDirD, {7, Text("/D", "f"), true},
                                    {8, Hex("00 00"), false}}, "r D/f 0"},
        {"ReadRequest with nothing open", {kStart, {8, Hex("00 04"), false}}},
        {"EndSession closes", {kStart, {6, {}, true}, {2, Dir("D"), false}, kStart, kDirD}},
        {"Start forgets the directory", {kStart, kDirD, kStart, {7, Text("/D", "f"), false}}},
        {"NewFile needs both EF", {kStart, kDirD, {3, Text("\xEF\xEE", "n"), false}}},
        {"a directory that is a file", {kStart, {2, Dir("D/f"), false}}},
        {"unknown types", {kStart, {9, abc, false}, {0, abc, false}}},
        {"a Start of 99 bytes opens nothing", {{1, Bytes(99, 0x20), false}, {2, Dir("D"), false}}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir;
        fs::create_directories(dir / "D");
        WriteFileText(dir / "D" / "f", "0123");
        WriteFileText(dir / "r", "root");
        DeviceFiles files = Must(DeviceFiles::Open(dir.Path(), KeepBytes));
        DeviceSession session(files);
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            const Step& step = row.steps[i];
            SCOPED_TRACE(i);
            const Answer answer = session.Handle({step.type, step.payload, step.checksumOk});
            EXPECT_EQ(answer.accepted, step.accepted);
            EXPECT_EQ(answer.endSession, step.type == 6);
            EXPECT_EQ(answer.chunk ? static_cast<int>(answer.chunk->size()) : -1, step.chunk);
        }
        std::string activity;
        for (const FileActivity& file : session.TakeActivity()) {
            activity += (activity.empty() ? "" : ", ") + std::string(file.written ? "w " : "r ") +
                        file.directory + "/" + file.name + " " + std::to_string(file.bytes);
        }
        EXPECT_EQ(activity, row.activity);
    }
}

TEST(Device, PathsStayInsideTheRoot) {
    const std::string nul("a\0b", 3);
    const struct {
        std::string directory;
        std::string name;
    } rows[] = {{"..", "a"}, {".", "a"},  {"/abs", "a"}, {"a/../b", "a"}, {"a//b", "a"},
                {"a/", "a"}, {nul, "a"},  {"D", ".."},   {"D", "."},      {"D", "x/y"},
                {"D", nul},  {"D", "a."}, {"D", "a "},   {"a ", "a"}};  // Windows would drop the
                                                                        // space: another file
    for (const auto& row : rows) {
        SCOPED_TRACE(row.directory + "|" + row.name);
        ScratchDir dir;
        {
            DeviceFiles files = Must(DeviceFiles::Open(dir / "root" / "in", KeepBytes));
            DeviceSession session(files);
            EXPECT_TRUE(session.Handle({1, kStart.payload}).accepted);
            const bool changed = session.Handle({2, Dir(row.directory)}).accepted;
            EXPECT_FALSE(session.Handle({3, New(row.name)}).accepted && changed);
            session.Handle({4, FromText("x")});
            session.Handle({5, {}});
        }
        // Two levels above the root hold nothing but the way down to it.
        for (const fs::path& above : {dir.Path(), dir / "root"}) {
            for (const auto& entry : fs::directory_iterator(above)) {
                EXPECT_TRUE(entry.path() == dir / "root" || entry.path() == dir / "root" / "in");
            }
        }
    }
}

}  // namespace
}  // namespace kestrel::test
