#include "app/mainwindow.h"
#include "look/look.h"
#include "lunex_version.h"
#include "store/appdirs.h"
#include "store/fileio.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    lunex::IgnoreFileSizeSignal();
    QApplication::setApplicationName(QString::fromLatin1(lunex::AppName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(lunex::AppId));
    QApplication::setWindowIcon(lunex::look::AppIcon());
    const lunex::AppDirs dirs =
        lunex::PrepareAppDirs(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // The program ends when its last window closes: closing the main window
    // alone leaves the other windows, and the program, running.
    auto *window = new lunex::MainWindow(dirs);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
