// The KESTREL dialog: the program lives exactly as long as the dialog.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/qt/main_dialog.h"

namespace {

// The program icon, carried inside the executable.
QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/kestrel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    // Qt's own dialogs (the file picker) in the user's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    // Lets the desktop match the window with kestrel.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrel"));
    kestrel::MainDialog dialog(kestrel::DesktopServices());
    dialog.exec();
    return 0;
}
