#include "formats/substitution_table.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/support/image_codec.h"
#include "tests/support/scratch_dir.h"

namespace kestrel::test {
namespace {

using std::filesystem::path;

TEST(SubstitutionTableTest, InverseLookupFindsTheColumnOfEveryValue) {
    const Bytes bytes = RandomPermutationTable(3);
    const auto table = SubstitutionTable::FromBytes(bytes);
    ASSERT_TRUE(table.has_value());
    for (int row = 0; row < 256; row += 51) {
        for (int value = 0; value < 256; ++value) {
            const auto r = static_cast<std::uint8_t>(row);
            const auto v = static_cast<std::uint8_t>(value);
            ASSERT_EQ(table->InverseLookup(r, v), ColumnOf(bytes, r, v)) << row << "/" << value;
            ASSERT_EQ(table->Lookup(r, table->InverseLookup(r, v)), v);
        }
    }
}

TEST(SubstitutionTableTest, RefusesARowThatIsNotAPermutation) {
    // A repeated value in the first, a middle and the last row.
    for (const std::size_t row : {0u, 128u, 255u}) {
        Bytes bytes = RandomPermutationTable(5);
        bytes[row * 256 + 200] = bytes[row * 256 + 17];
        EXPECT_FALSE(SubstitutionTable::FromBytes(bytes).has_value()) << row;
    }
}

class TableFileTest : public ::testing::Test {
  protected:
    path Folder(const char* name) {
        const path folder = scratch_ / name;
        std::filesystem::create_directory(folder);
        return folder;
    }
    ScratchDir scratch_;
};

TEST_F(TableFileTest, LoadsFromTheFirstFolderHoldingTheFile) {
    const path besideProgram = Folder("bin");
    const path dataFolder = Folder("share");
    WriteFileBytes(dataFolder / kSubstitutionTableFileName, RandomPermutationTable(9));
    const std::vector<path> folders{besideProgram, dataFolder};
    TableLoad load = FindSubstitutionTable(folders);
    ASSERT_TRUE(load.table.has_value());
    EXPECT_EQ(load.problem, TableProblem::kNone);
    EXPECT_EQ(load.file, dataFolder / kSubstitutionTableFileName);

    const Bytes first = RandomPermutationTable(10);
    WriteFileBytes(besideProgram / kSubstitutionTableFileName, first);
    load = FindSubstitutionTable(folders);
    ASSERT_TRUE(load.table.has_value());
    EXPECT_EQ(load.file, besideProgram / kSubstitutionTableFileName);
    EXPECT_EQ(load.table->Lookup(1, 2), first[256 + 2]);
}

TEST_F(TableFileTest, MissingTableNamesTheFile) {
    const std::vector<path> folders{Folder("bin"), Folder("share")};
    const TableLoad load = FindSubstitutionTable(folders);
    EXPECT_FALSE(load.table.has_value());
    EXPECT_EQ(load.problem, TableProblem::kMissing);
    EXPECT_EQ(load.file, path("substitution.table"));
}

TEST_F(TableFileTest, BrokenFileIsReportedNotSkipped) {
    const path besideProgram = Folder("bin");
    const path dataFolder = Folder("share");
    WriteFileBytes(dataFolder / kSubstitutionTableFileName, RandomPermutationTable(9));
    const std::vector<path> folders{besideProgram, dataFolder};

    WriteFileBytes(besideProgram / kSubstitutionTableFileName, Bytes(65536, 7));
    EXPECT_EQ(FindSubstitutionTable(folders).problem, TableProblem::kNotPermutation);

    WriteFileBytes(besideProgram / kSubstitutionTableFileName, Bytes(65537, 7));
    EXPECT_EQ(FindSubstitutionTable(folders).problem, TableProblem::kWrongSize);

    WriteFileBytes(besideProgram / kSubstitutionTableFileName, Bytes(65535, 7));
    const TableLoad load = FindSubstitutionTable(folders);
    EXPECT_EQ(load.problem, TableProblem::kWrongSize);
    EXPECT_FALSE(load.table.has_value());
}

}  // namespace
}  // namespace kestrel::test
