#include "app/mainwindow.h"
#include "look/look.h"
#include "lunex_version.h"
#include "store/fileio.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    lunex::IgnoreFileSizeSignal();
    QApplication::setApplicationName(QString::fromUtf8(lunex::ShortTitle));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(lunex::AppId));
    QApplication::setWindowIcon(lunex::look::AppIcon());
    // The program ends when its last window closes: closing the main window
    // alone leaves the other windows, and the program, running.
    auto *window = new lunex::MainWindow(QCoreApplication::applicationDirPath());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
