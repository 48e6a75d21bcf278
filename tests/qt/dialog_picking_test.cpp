// Browse and drop: the picked file and the proposal for it fill the boxes.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/qt/file_picking.h"
#include "tests/qt/dialog_fixture.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

class DialogPicking : public DialogFixture {
  protected:
    void Browse() { QTest::mouseClick(&Button(1006), Qt::LeftButton); }

    // Drops the URLs on the dialog; whether the dialog took the drop.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Dialog(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Dialog(), &drop);
        return drop.isAccepted();
    }

    void ExpectBoxes(const fs::path& pcPath, const std::string& name, const std::string& dir) {
        EXPECT_EQ(Box(1000).text(), Q(pcPath.string()));
        EXPECT_EQ(Box(1001).text(), Q(name));
        EXPECT_EQ(List(1002).currentText(), Q(dir));
    }
};

TEST_F(DialogPicking, ProposesNameAndDirectoryAndKeepsThePickedFilesOwnPath) {
    // Names differ by case here, so PHOTO.bmp would be another file or none.
    const fs::path photo = scratch / "PHOTO.BMP";
    WriteFileText(photo, "picture");
    pick = photo;
    Dialog();
    Box(1000).setText("/earlier/choice.txt");
    Browse();
    ASSERT_EQ(pickerInitials.size(), 1u);
    EXPECT_EQ(pickerInitials[0], "/earlier/choice.txt");
    ExpectBoxes(photo, "PHOTO.bmp", "我的图片");

    pick = scratch / "archive.pac";
    WriteFileText(*pick, "package");
    Browse();
    ExpectBoxes(*pick, "下载包", "*");
}

TEST_F(DialogPicking, ACancelChangesNothingAndANameGbkCannotHoldFillsOnlyThePcFile) {
    Fill("/kept/path.lav", "kept.lav", "LAVA");
    pick.reset();
    Browse();
    EXPECT_EQ(pickerInitials.size(), 1u);
    ExpectBoxes("/kept/path.lav", "kept.lav", "LAVA");

    pick = scratch / "ไทย.txt";
    WriteFileText(*pick, "x");
    Browse();
    ExpectBoxes(*pick, "kept.lav", "LAVA");
}

TEST_F(DialogPicking, ADroppedFileIsTakenAsIfPicked) {
    const fs::path note = scratch / "Note.TXT";
    WriteFileText(note, "hello");
    WriteFileText(scratch / "other.txt", "x");
    Fill("/before.txt", "before.txt", "LAVA");

    EXPECT_FALSE(Drop({QUrl("https://example.org/note.txt")}));
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(Q(scratch.Path().string()))})) << "a folder";
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(Q(note.string())),
                       QUrl::fromLocalFile(Q((scratch / "other.txt").string()))}));
    ExpectBoxes("/before.txt", "before.txt", "LAVA");

    EXPECT_TRUE(Drop({QUrl::fromLocalFile(Q(note.string()))}));
    ExpectBoxes(note, "Note.txt", "文本文件");
}

TEST(PathForPcBox, TakesTheLowerCasedPathOnlyWhenItNamesThePickedFile) {
    ScratchDir scratch;
    const fs::path upper = scratch / "A.TXT";
    const fs::path lower = scratch / "A.txt";
    WriteFileText(upper, "upper");
    EXPECT_EQ(PathForPcBox(upper, lower), upper) << "no such file";
    WriteFileText(lower, "another file");
    EXPECT_EQ(PathForPcBox(upper, lower), upper) << "another file";
    fs::remove(lower);
    fs::create_symlink(upper, lower);  // what a case-blind file system amounts to
    EXPECT_EQ(PathForPcBox(upper, lower), lower);
    EXPECT_EQ(PathForPcBox(lower, lower), lower);
}

}  // namespace
}  // namespace kestrel::test
