// The file formats: text headers, application images against the test codec,
// the substitution table's file, packages, types by extension, scratch files.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "formats/application_image.h"
#include "formats/file_type.h"
#include "formats/package_file.h"
#include "formats/scratch_file.h"
#include "formats/substitution_table.h"
#include "formats/text_file.h"
#include "formats/whole_file.h"
#include "tests/support/frames.h"
#include "tests/support/image_codec.h"
#include "tests/support/scratch_dir.h"
#include "text/texts.h"

namespace kestrel::test {
namespace {

Bytes TextHeader(std::uint32_t total) {
    return Concat({Hex("00 00 00 00 00 01 00 18 00 00"),
                   Le32(total),
                   Hex("00 00 18 00 00"),
                   Le32(total),
                   {0}});
}

TEST(Formats, TextFilesWrapRewrapAndUnwrap) {
    const Bytes hello = FromText("hello");
    const Bytes text300(300, 'x');
    const Bytes gtx100(100, 'g');
    const struct {
        const char* name;
        ResultOf<Bytes> (*convert)(std::span<const std::uint8_t>);
        Bytes input;
        Bytes output;
        bool ok = true;
    } rows[] = {
        {"wrap hello", WrapTextBytes, hello,
         Hex("00 00 00 00 00 01 00 18 00 00 1D 00 00 00 00 00 18 00 00 1D 00 00 00 00 68 65 6C 6C "
             "6F")},
        {"wrap 300", WrapTextBytes, text300, Concat({TextHeader(324), text300})},
        {"wrap nothing", WrapTextBytes, {}, {}, false},
        {"rewrap 17", RewrapTextBytes, Bytes(17, 'g'), Concat({TextHeader(25), {'g'}})},
        {"rewrap 16", RewrapTextBytes, Bytes(16, 'g'), {}, false},
        {"rewrap 100", RewrapTextBytes, gtx100, Concat({TextHeader(108), Bytes(84, 'g')})},
        {"unwrap 30", UnwrapTextBytes, Concat({TextHeader(30), FromText("abcdef")}),
         FromText("abcdef")},
        {"unwrap 24", UnwrapTextBytes, TextHeader(24), {}},
        {"unwrap 23", UnwrapTextBytes, Bytes(23, 0), {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ResultOf<Bytes> result = row.convert(row.input);
        EXPECT_EQ(result.IsOk(), row.ok);
        EXPECT_EQ(ToHex(result.IsOk() ? result.Value() : Bytes{}), ToHex(row.output));
    }
}

TEST(Formats, ApplicationImagesDecodeAsTheTestCodecCodes) {
    const Bytes tableBytes = RandomPermutationTable(7);
    const auto table = SubstitutionTable::FromBytes(tableBytes);
    ASSERT_TRUE(table);
    std::mt19937 random(11);
    auto some = [&random](std::size_t size) {
        Bytes bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        return bytes;
    };
    auto plain = [&](std::size_t key, std::size_t kept, std::size_t tail) {
        return PlainApplication{some(key), some(key), some(78), some(kept), some(tail)};
    };
    const struct {
        const char* name;
        PlainApplication plain;
    } good[] = {
        {"L=1", plain(1, 5, 7)},
        {"L=7 M=0: the key position runs on into the tail", plain(7, 0, 20)},
        {"L=5 M=2", plain(5, 2, 9)},
        {"L=30", plain(30, 300, 100)},
        {"ends right after keyTail", plain(3, 4, 0)},
    };
    for (const auto& row : good) {
        SCOPED_TRACE(row.name);
        const ResultOf<Bytes> decoded =
            DecodeApplicationImage(EncodeApplicationImage(tableBytes, row.plain), *table);
        ASSERT_TRUE(decoded.IsOk()) << decoded.Reason();
        EXPECT_EQ(ToHex(decoded.Value()), ToHex(DecodedApplication(row.plain)));
    }
    const Bytes shortest = EncodeApplicationImage(tableBytes, plain(3, 4, 0));
    const struct {
        const char* name;
        Bytes image;
        std::string_view failure;
    } bad[] = {
        {"L=0", Concat({{0}, Bytes(200, 1)}), texts::kBadKeyLength},
        {"L=31", Concat({{31}, Bytes(200, 1)}), texts::kBadKeyLength},
        {"empty", {}, texts::kTruncatedImage},
        {"key cut", Hex("03 01 02"), texts::kTruncatedImage},
        {"keyTail cut", Bytes(shortest.begin(), shortest.end() - 1), texts::kTruncatedImage},
        {"body cut", Concat({Hex("01 AA 10 00"), Bytes(80, 0)}), texts::kTruncatedImage},
    };
    for (const auto& row : bad) {
        SCOPED_TRACE(row.name);
        const ResultOf<Bytes> decoded = DecodeApplicationImage(row.image, *table);
        EXPECT_FALSE(decoded.IsOk());
        EXPECT_EQ(decoded.Reason(), row.failure);
    }
}

TEST(Formats, SubstitutionTableFiles) {
    ScratchDir dir;
    const Bytes good = RandomPermutationTable(3);
    Bytes repeated = good;
    repeated[255 * 256 + 200] = repeated[255 * 256 + 17];  // the last row lacks a value
    const std::string name = " substitution.table";
    const std::string wrongSize = std::string(texts::kTableWrongSize) + name;
    const struct {
        const char* folder;
        Bytes bytes;
        std::string reason;
    } files[] = {
        {"good", good, ""},
        {"short", Bytes(good.begin(), good.end() - 1), wrongSize},
        {"long", Concat({good, {0}}), wrongSize},
        {"repeated", repeated, std::string(texts::kTableNotPermutation) + name},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.folder);
        std::filesystem::create_directories(dir / file.folder);
        WriteFileBytes(dir / file.folder / kSubstitutionTableFileName, file.bytes);
        const ResultOf<SubstitutionTable> load =
            LoadSubstitutionTable(dir / file.folder / kSubstitutionTableFileName);
        EXPECT_EQ(load.Reason(), file.reason);
    }
    std::filesystem::create_directories(dir / "none");
    // The first folder holding the file decides, even when its file is bad;
    // a table of no use is told apart from a missing one.
    const struct {
        std::vector<std::filesystem::path> folders;
        std::string reason;
    } searches[] = {
        {{dir / "none", dir / "good", dir / "short"}, ""},
        {{dir / "short", dir / "good"}, wrongSize},
        {{dir / "none"},
         std::string(texts::kNoTablePrefix) + kSubstitutionTableFileName +
             std::string(texts::kPutTableIn) + (dir / "none").string() +
             std::string(texts::kPutTableInEnd)},
    };
    for (const auto& search : searches) {
        EXPECT_EQ(FindSubstitutionTable(search.folders).Reason(), search.reason);
    }
}

// A package in memory, read as a PC file's ReadAt reads.
PackageReader ReaderOf(const Bytes& package) {
    return [&package](std::uint64_t offset, std::span<std::uint8_t> into) -> ResultOf<std::size_t> {
        const std::size_t at = std::min<std::size_t>(offset, package.size());
        const std::size_t size = std::min(into.size(), package.size() - at);
        std::copy_n(package.begin() + static_cast<std::ptrdiff_t>(at), size, into.begin());
        return size;
    };
}

TEST(Formats, PackagesAreCheckedWhole) {
    const std::string_view none, notPackage = texts::kPackageNotPackage,
                                 truncated = texts::kPackageTruncated,
                                 badPath = texts::kPackageBadPath;
    const std::string name23(23, 'n');
    const Bytes three =
        PackageFile("04 00", {{"LAVA/game.lav", FromText("game")},
                              {"a/b/c", FromText("c")},
                              {std::string(60, 'z'), {}},  // empty: its path is never used
                              {"/x.dat", FromText("xx")}});
    const struct {
        const char* name;
        Bytes package;
        std::string_view problem;        // the action of the failure; empty: none
        std::vector<std::string> paths;  // directory|name of each entry
    } rows[] = {
        {"three and an empty one", three, none, {"LAVA|game.lav", "a/b|c", "|", "|x.dat"}},
        {"root is a directory like others",
         PackageFile("01 00", {{"root/x", {1}}}),
         none,
         {"root|x"}},
        {"name of 23 bytes", PackageFile("01 00", {{"d/" + name23, {1}}}), none, {"d|" + name23}},
        {"name of 24 bytes", PackageFile("01 00", {{"d/" + name23 + "n", {1}}}), badPath, {}},
        {"empty name", PackageFile("01 00", {{"d/", {1}}}), badPath, {}},
        {"a .. component", PackageFile("01 00", {{"nosuch/../x.dat", {1}}}), badPath, {}},
        {"a control character",
         PackageFile("02 00", {{"d/a", {1}}, {"d\x1F/a", {1}}}),
         badPath,
         {}},
        {"dots inside names", PackageFile("01 00", {{"..d/a..", {1}}}), none, {"..d|a.."}},
        {"path without NUL",
         PackageFile("01 00", {{std::string(36, 'd') + "/" + name23, {1}}}),
         badPath,
         {}},
        {"count 0", PackageFile("00 00", {}), none, {}},
        {"count -1", PackageFile("FF FF", {{"a", {1}}}), none, {}},
        {"count beyond entries", PackageFile("02 00", {{"a", {1}}}), truncated, {}},
        {"data cut", PackageFile("01 00", {{"a", {1, 2}, 3U}}), truncated, {}},
        {"entry header cut", Bytes(three.begin(), three.begin() + 18 + 63), truncated, {}},
        {"count cut", Bytes(three.begin(), three.begin() + 17), truncated, {}},
        {"under 16 bytes", Bytes(three.begin(), three.begin() + 15), notPackage, {}},
        {"lower case", PackageFile("01 00", {{"a", {1}}}, "pac "), notPackage, {}},
        {"magic 0", PackageFile("01 00", {{"a", {1}}}, "XAC "), notPackage, {}},
        {"magic 1", PackageFile("01 00", {{"a", {1}}}, "PXC "), notPackage, {}},
        {"magic 2", PackageFile("01 00", {{"a", {1}}}, "PAX "), notPackage, {}},
        {"magic 3", PackageFile("01 00", {{"a", {1}}}, "PAC_"), notPackage, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ResultOf<std::vector<PackageEntry>> index =
            CheckPackage(row.package.size(), ReaderOf(row.package), "x.pac");
        EXPECT_EQ(index.Failure().Action(), row.problem);
        EXPECT_EQ(index.Failure().Subject(), row.problem.empty() ? "" : "x.pac");
        std::vector<std::string> paths;
        for (const PackageEntry& entry : index.IsOk() ? index.Value() : std::vector<PackageEntry>{})
            paths.push_back(entry.directory + "|" + entry.name);
        EXPECT_EQ(paths, row.paths);
    }
    const std::vector<PackageEntry> entries = Must(CheckPackage(three.size(), ReaderOf(three), ""));
    ASSERT_EQ(entries.size(), 4U);
    const char* data[] = {"game", "c", "", "xx"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].size, std::string_view(data[i]).size());
        EXPECT_EQ(Must(ReadEntryData(ReaderOf(three), entries[i], "")), FromText(data[i]));
    }
}

TEST(Formats, FileTypeByExtension) {
    const struct {
        const char* path;
        FileType type;
    } rows[] = {
        {"a.txt", FileType::kText},        {"a.gtx", FileType::kHeadedText},
        {"a.bin", FileType::kApplication}, {"a.dat", FileType::kOther},
        {"README.TXT", FileType::kOther},  {"C:\\old.docs\\notes", FileType::kOther},
        {"x.txt.gz", FileType::kOther},    {"a.txtx", FileType::kOther},
        {"notes.v2.txt", FileType::kText},
    };
    for (const auto& row : rows) EXPECT_EQ(FileTypeOf(row.path), row.type) << row.path;
}

TEST(Formats, ScratchFilesAreUniqueAndGoWithTheirOwner) {
    ScratchDir dir;
    std::optional<ScratchFile> first = Must(ScratchFile::Holding(dir.Path(), FromText("one")));
    const ScratchFile second = Must(ScratchFile::Holding(dir.Path(), {}));
    EXPECT_NE(first->Path(), second.Path());
    EXPECT_EQ(ReadFileBytes(first->Path()), FromText("one"));
    const std::filesystem::path gone = first->Path();
    first.reset();
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_TRUE(std::filesystem::exists(second.Path()));
    EXPECT_FALSE(ScratchFile::Holding(dir / "missing", {}).IsOk());
}

}  // namespace
}  // namespace kestrel::test
