// The floor: the least a Qt Widgets program does to show one empty window of
// Lunex's size, ending at its first painted frame.

#include "firstpaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(758, 390 + 22); // the client area and a menu bar's height
    FirstPaintProbe probe(&window);
    window.show();
    return app.exec();
}
