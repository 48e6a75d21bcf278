// Package downloads on the line against a scripted handheld.

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/gbk.h"
#include "tests/transfer/scripted_line.h"
#include "transfer/transfer_texts.h"

namespace kestrel::test {
namespace {

struct Entry {
    std::string path;
    Bytes data;
};

Bytes Package(const std::vector<Entry>& entries, std::optional<int> declared = std::nullopt) {
    const int count = declared.value_or(static_cast<int>(entries.size()));
    Bytes file = Concat({FromText("PAC "),
                         Bytes(12, 0xEE),
                         {static_cast<std::uint8_t>(count & 0xFF),
                          static_cast<std::uint8_t>((count >> 8) & 0xFF)}});
    for (const Entry& entry : entries) {
        const auto size = static_cast<std::uint32_t>(entry.data.size());
        Bytes path(60, 0);
        std::copy(entry.path.begin(), entry.path.end(), path.begin());
        file =
            Concat({file,
                    {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                     static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)},
                    path,
                    entry.data});
    }
    return file;
}

class PackageTest : public ::testing::Test {
  protected:
    TransferOutcome Send(const Bytes& package) {
        const auto file = line.dir / "archive.pac";
        WriteFileBytes(file, package);
        return line.Run(Download(file, "*", texts::kPackageName));
    }
    // One entry of at most 1024 bytes sent in an open session: Start,
    // Directory, NewFile, Data accepted, EndOfFile ready.
    void AcceptEntry() {
        line.Handheld(Concat({Accept(), Accept(), Accept(), Accept(), Hex("05")}));
    }
    void CloseSession() { line.Handheld(Hex("05 00")); }

    static Bytes EntryOnLine(std::string_view directory, std::string_view name, const Bytes& data) {
        return Concat({StartFrame(), DirectoryFrame(directory), NewFileFrame(name), Frame(4, data),
                       Hex("05 00 00")});
    }

    ScriptedLine line;
};

TEST_F(PackageTest, SmallestPackageSendsItsOneEntry) {
    const Bytes package = Package({{"LAVA/a.dat", FromText("abc")}});
    ASSERT_EQ(package.size(), 85U);
    line.Handheld(Greeting());
    AcceptEntry();
    CloseSession();
    EXPECT_EQ(Send(package), TransferOutcome::succeeded);
    EXPECT_EQ(
        line.PcWrote(),
        Concat({Hex("B3 B3 4C"), EntryOnLine("LAVA", "a.dat", FromText("abc")), Hex("06 00 00")}));
    EXPECT_EQ(line.status.Texts(),
              (std::vector<std::string>{texts::kWaiting.data(), texts::Downloading("a.dat"),
                                        "    0k", "    0k", texts::kSucceeded.data()}));
}

TEST_F(PackageTest, EntriesShareOneSessionAndEmptyOnesAreSkipped) {
    const Bytes package = Package({{"", {}},
                                   {"dir1/dir2/file", FromText("1")},
                                   {"skip/me", {}},
                                   {"note.txt", FromText("plain")},
                                   {"/x.dat", FromText("3")},
                                   {"tail/empty", {}}});
    line.Handheld(Greeting());
    AcceptEntry();
    AcceptEntry();
    AcceptEntry();
    CloseSession();
    EXPECT_EQ(Send(package), TransferOutcome::succeeded);
    // One greeting before the first entry sent, EndSession after the last one
    // sent, even though the first and last entries are empty; note.txt goes
    // as stored, without a text header.
    EXPECT_EQ(ToHex(line.PcWrote()),
              ToHex(Concat({Hex("B3 B3 4C"), EntryOnLine("dir1/dir2", "file", FromText("1")),
                            EntryOnLine("", "note.txt", FromText("plain")),
                            EntryOnLine("", "x.dat", FromText("3")), Hex("06 00 00")})));
    EXPECT_EQ(line.status.Last(), texts::kSucceeded);
}

TEST_F(PackageTest, DamagedPackagesSendNothing) {
    const std::string longName(24, 'n');
    const std::string noNul(60, 'p');
    Bytes truncatedData = Package({{"a", FromText("abcdef")}});
    truncatedData.pop_back();
    Bytes truncatedHeader = Package({{"a", FromText("x")}, {"b", FromText("y")}});
    truncatedHeader.resize(85 + 30);
    const struct {
        const char* what;
        Bytes file;
        std::string_view text;
    } cases[] = {
        {"lower-case magic", Concat({FromText("pac "), Bytes(20, 0)}), texts::kPackageNotPackage},
        {"shorter than its header", FromText("PAC 12345"), texts::kPackageNotPackage},
        {"no count", Concat({FromText("PAC "), Bytes(12, 0)}), texts::kPackageTruncated},
        {"data cut short", truncatedData, texts::kPackageTruncated},
        {"entry header cut short", truncatedHeader, texts::kPackageTruncated},
        {"name over 23 bytes", Package({{"LAVA/" + longName, FromText("x")}}),
         texts::kPackageBadPath},
        {"path without NUL", Package({{noNul, FromText("x")}}), texts::kPackageBadPath},
        {"empty name", Package({{"LAVA/", FromText("x")}}), texts::kPackageBadPath},
        {"size beyond the file",
         Concat({Package({}, 1), Hex("FF FF FF FF"), FromText("a"), Bytes(59, 0)}),
         texts::kPackageTruncated},
    };
    for (const auto& c : cases) {
        ScriptedLine fresh;
        fresh.Handheld(Concat({Greeting(), Accept(), Accept()}));
        const auto file = fresh.dir / "archive.pac";
        WriteFileBytes(file, c.file);
        EXPECT_EQ(fresh.Run(Download(file, "*", texts::kPackageName)), TransferOutcome::failed)
            << c.what;
        EXPECT_TRUE(fresh.PcWrote().empty()) << c.what;
        const auto shown = fresh.status.Texts();
        ASSERT_EQ(shown.size(), 3U) << c.what;
        EXPECT_EQ(shown[1], c.text) << c.what;
        EXPECT_EQ(shown[2], texts::kAborted) << c.what;
    }
}

TEST_F(PackageTest, NothingToSendSaysSoAndExchangesNothing) {
    for (const Bytes& file : {Package({}, 0), Package({}, -1), Package({{"a", {}}, {"b", {}}})}) {
        ScriptedLine fresh;
        fresh.Handheld(Greeting());
        const auto path = fresh.dir / "archive.pac";
        WriteFileBytes(path, file);
        EXPECT_EQ(fresh.Run(Download(path, "*", texts::kPackageName)), TransferOutcome::failed);
        EXPECT_EQ(fresh.status.Last(), texts::kPackageEmpty);
        EXPECT_TRUE(fresh.PcWrote().empty());
    }
}

}  // namespace
}  // namespace kestrel::test
