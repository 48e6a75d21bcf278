// Photographs the dialog on the display it is given, after a real download
// through the virtual handheld, so every kind of text shows: usage
// `qt_screenshot OUTPUT.png`. Fails when the dialog font has no glyphs for
// the dialog's Chinese texts, since the picture would then not be legible.

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/qt/dialog_texts.h"
#include "app/qt/main_dialog.h"
#include "app/qt/qt_text.h"

namespace {

namespace fs = std::filesystem;
using kestrel::MainDialog;

kestrel::DialogServices ScratchServices(const fs::path& folder, const fs::path& note) {
    kestrel::DialogServices services = kestrel::DesktopServices();
    services.handheldRoot = folder / "handheld";
    services.tempDirectory = folder;
    services.pickFile = [note](QWidget*, const QString&) { return note; };
    return services;
}

// Every character the dialog shows, looked up in the font it uses.
bool FontCoversTexts(const MainDialog& dialog) {
    const QFontMetrics metrics(dialog.font());
    QString shown;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) shown += label->text();
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) shown += button->text();
    for (const QLineEdit* box : dialog.findChildren<QLineEdit*>()) shown += box->text();
    bool covered = true;
    for (const char32_t c : shown.toStdU32String()) {
        if (c > 0x7F && !metrics.inFontUcs4(c)) {
            std::fprintf(stderr, "no glyph for U+%04X in %s\n", static_cast<unsigned>(c),
                         qPrintable(QFontInfo(dialog.font()).family()));
            covered = false;
        }
    }
    return covered;
}

bool RunDownload(MainDialog& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("button1006"))->click();
    auto* ports = dialog.findChild<QComboBox*>(QStringLiteral("box1012"));
    const std::string handheld(kestrel::texts::kVirtualHandheld);
    ports->setCurrentIndex(ports->findData(QByteArray::fromStdString(handheld)));
    QSignalSpy ended(&dialog, &MainDialog::TransferEnded);
    dialog.findChild<QPushButton*>(QStringLiteral("button1003"))->click();
    return ended.wait(20000);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qt_screenshot OUTPUT.png\n");
        return 2;
    }
    QTemporaryDir scratch;
    const fs::path folder = kestrel::PathFromQString(scratch.path());
    const fs::path note = folder / "note.txt";
    const char* const text = "\xE6\x96\x87\xE6\x9B\xB2\xE6\x98\x9F\n";  // 文曲星, in UTF-8
    if (!(std::ofstream(note, std::ios::binary) << text)) return 1;

    MainDialog dialog(ScratchServices(folder, note));
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog) || !RunDownload(dialog)) {
        std::fprintf(stderr, "the dialog did not show or the download did not end\n");
        return 1;
    }
    QTest::qWait(200);  // let the last text be painted
    const QPixmap picture = dialog.screen()->grabWindow(dialog.winId());
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]))) return 1;
    std::printf("dialog in %s (font %s)\n", argv[1], qPrintable(QFontInfo(dialog.font()).family()));
    return FontCoversTexts(dialog) ? 0 : 1;
}
