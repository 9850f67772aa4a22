#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace lunex::test {

// Deletes every open window a test left behind. Pop-ups of a window are
// top-level too but die with their window, so only parentless ones go.
inline void DeleteWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->parentWidget() == nullptr) {
            windows.append(w);
        }
    }
    qDeleteAll(windows);
}

} // namespace lunex::test
