// The floor: the least a Qt Widgets program does to show one empty window of
// Lunex's size, ending at its first painted frame.

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

// With "--text" the window also shows one line of text, which costs what every
// program that draws text pays once: font configuration and a font's first use.
int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(758, 390 + 22); // the client area and a menu bar's height
    if (app.arguments().contains(QStringLiteral("--text"))) {
        auto *label = new QLabel(QStringLiteral("Holdsarló kora"), &window);
        label->move(10, 10);
    }
    FirstPaintProbe probe(&window);
    window.show();
    return app.exec();
}
