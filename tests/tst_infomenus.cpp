// The calculator, description and About windows as the main window's menu
// opens them.

#include "app/main/mainwindow.h"
#include "fakes.h"
#include "windowcleanup.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace lunex;
using namespace lunex::test;

namespace {

QList<QWidget *> windowsNamed(const QString &name) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            found.append(w);
        }
    }
    return found;
}

} // namespace

class TestInfoMenus : public QObject {
    Q_OBJECT

    AppDir dir_;
    QPointer<MainWindow> main_;

private slots:
    void init() {
        QLocale::setDefault(QLocale(QStringLiteral("hu_HU")));
        dir_.write("ujholdak.txt", "\xDAjholdak\r\n2026-11-20 06:47\r\n");
        main_ = new MainWindow(dir_.portable());
        main_->setAttribute(Qt::WA_DeleteOnClose);
        main_->show();
    }
    void cleanup() { test::DeleteWindows(); }

    void opensOnceAndAfresh_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("closer");
        QTest::newRow("calculator") << "vonas"
                                    << "Form4"
                                    << "Command499";
        QTest::newRow("description") << "leir"
                                     << "Form2"
                                     << "Command10";
        QTest::newRow("about") << "prog"
                               << "frmAbout"
                               << "cmdOK";
    }
    void opensOnceAndAfresh() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, closer);
        auto *action = main_->findChild<QAction *>(item);
        QVERIFY(action);
        QVERIFY(windowsNamed(window).isEmpty());

        action->trigger();
        QCOMPARE(windowsNamed(window).size(), 1);
        QPointer<QWidget> first = windowsNamed(window).first();
        QVERIFY(first->parentWidget() == nullptr);
        QCOMPARE(first->windowModality(), Qt::NonModal);
        auto *field = first->findChild<QLineEdit *>("Text41");
        if (field != nullptr) {
            QTest::keyClicks(field, "90");
        }

        // A second request brings the same window, unchanged, to the front.
        action->trigger();
        QCOMPARE(windowsNamed(window), QList<QWidget *>{first.data()});
        if (field != nullptr) {
            QCOMPARE(field->text(), "90");
        }

        // The main window stays usable beside it.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        auto *text11 = main_->findChild<QLineEdit *>("Text11");
        QTest::keyClicks(text11, "2026");
        QCOMPARE(text11->text(), "2026");

        // Closed, it is gone; the next request creates it anew.
        QTest::mouseClick(first->findChild<QPushButton *>(closer), Qt::LeftButton);
        QVERIFY(windowsNamed(window).isEmpty());
        QVERIFY(first.isNull());
        action->trigger();
        QCOMPARE(windowsNamed(window).size(), 1);
        if (auto *again = windowsNamed(window).first()->findChild<QLineEdit *>("Text41")) {
            QCOMPARE(again->text(), QString());
        }
    }

    void allThreeAtOnce() {
        for (const char *item : {"vonas", "leir", "prog"}) {
            main_->findChild<QAction *>(item)->trigger();
        }
        for (const char *name : {"Form4", "Form2", "frmAbout"}) {
            QCOMPARE(windowsNamed(name).size(), 1);
        }
        QVERIFY(main_->isVisible());
        QVERIFY(main_->isEnabled());
    }
};

QTEST_MAIN(TestInfoMenus)
#include "tst_infomenus.moc"
