// Lunex's own start (the same steps as programs/lunex/main.cpp), ending at the first
// painted frame. Takes the application directory so that the list file can vary.

#include "app/main/mainwindow.h"
#include "firstpaint.h"
#include "look/look.h"
#include "lunex_version.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(lunex::look::NewAppStyle());
    QApplication::setApplicationName(QString::fromLatin1(lunex::AppName));
    QApplication::setWindowIcon(lunex::look::AppIcon());
    const QString appDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath();
    lunex::MainWindow window({appDir, appDir});
    FirstPaintProbe probe(window.resultArea());
    window.show();
    return app.exec();
}
