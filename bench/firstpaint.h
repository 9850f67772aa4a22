#pragma once

// Ends a start-up probe at the first painted frame of its window, after
// printing the process's resident memory then ("VmRSS=… VmHWM=…", kB).

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

class FirstPaintProbe : public QObject {
public:
    // Not a child of the window: the probe lives on the caller's stack.
    explicit FirstPaintProbe(QWidget *watched) { watched->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Quit once this paint has been handled and flushed.
            QTimer::singleShot(0, [] {
                report();
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen_ = false;

    static void report() {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly)) {
            return;
        }
        QTextStream err(stderr);
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:") || line.startsWith("VmHWM:")) {
                err << line.simplified().replace(": ", "=").replace(" kB", "") << ' ';
            }
        }
        err << '\n';
    }
};
