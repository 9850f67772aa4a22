#pragma once

// Answers every modal message box that opens while it lives, with Enter as a
// user at the keyboard would, and keeps what each one showed.

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

namespace lunex::test {

class MessageBoxes : public QObject {
public:
    struct Shown {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QColor textColour, background; // of its text, as drawn
    };
    QList<Shown> shown;

    MessageBoxes() {
        connect(&poll_, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            // A box stays active a moment after its answer; count it once.
            if (box == nullptr || box == answering_.data()) {
                return;
            }
            answering_ = box;
            const QPalette drawn =
                box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->palette();
            shown.append({box->text(), box->windowTitle(), box->icon(),
                          drawn.color(QPalette::WindowText), drawn.color(QPalette::Window)});
            QVERIFY(box->buttons().size() == 1);
            QTest::keyClick(box, Qt::Key_Enter);
        });
        poll_.start(5);
    }

    int count() const { return int(shown.size()); }
    Shown last() const { return shown.isEmpty() ? Shown{} : shown.last(); }
    // "warning:text" or "critical:text" of each, in order.
    QStringList log() const {
        QStringList out;
        for (const Shown &s : shown) {
            out << QLatin1String(s.icon == QMessageBox::Critical ? "critical:" : "warning:") +
                       s.text;
        }
        return out;
    }

private:
    QTimer poll_;
    QPointer<QMessageBox> answering_;
};

} // namespace lunex::test
