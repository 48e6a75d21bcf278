#include "formats/file_type.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using std::filesystem::path;

TEST(FileTypeTest, RecognisesOnlyTheThreeLowerCaseExtensions) {
    EXPECT_EQ(FileTypeOf(path("C:\\notes\\a.txt")), FileType::kText);
    EXPECT_EQ(FileTypeOf(path("/home/u/a.gtx")), FileType::kHeadedText);
    EXPECT_EQ(FileTypeOf(path("game.bin")), FileType::kApplication);
    EXPECT_EQ(FileTypeOf(path("C:\\NOTES\\README.TXT")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("a.Txt")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("a.txt.bak")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("a.txtx")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("a.")), FileType::kOther);
}

TEST(FileTypeTest, TakesTheLastDotAnywhereInThePath) {
    // Only the last dot counts, even when it lies in a folder name.
    EXPECT_EQ(ExtensionOf(path("C:\\old.docs\\notes")), path("docs\\notes").native());
    EXPECT_EQ(FileTypeOf(path("C:\\old.docs\\notes")), FileType::kOther);
    EXPECT_EQ(ExtensionOf(path("/srv/my.dir/readme")), path("dir/readme").native());
    EXPECT_EQ(FileTypeOf(path("/data/x.txt/readme")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("/data/v1.2/a.bin")), FileType::kApplication);
}

TEST(FileTypeTest, PathWithoutDotIsComparedWhole) {
    EXPECT_EQ(ExtensionOf(path("/home/u/notes")), path("/home/u/notes").native());
    EXPECT_EQ(FileTypeOf(path("/home/u/txt")), FileType::kOther);
    EXPECT_EQ(FileTypeOf(path("txt")), FileType::kText);
}

}  // namespace
}  // namespace kestrel
