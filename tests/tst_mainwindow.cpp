// The main window and the picture window, driven like a user drives them.

#include "app/main/mainwindow.h"
#include "app/pictures/picturewindow.h"
#include "artwork/gifwriter.h"
#include "evalfakes.h"
#include "look/look.h"
#include "messageboxes.h"
#include "messages/messages.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "themes.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

using namespace lunex;
using namespace lunex::test;

namespace {

const QString Pad = QString(36, u' ');

// The result texts that each announcement of the results carried.
QStringList Announced;
void RecordAnnouncement(QAccessibleEvent *event) {
    if (event->type() == QAccessible::TextUpdated &&
        event->object()->objectName() == QLatin1String("A_results")) {
        Announced << static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted();
    }
}

// What "Most!" prints for the rig's new moon at its clock, line by line.
const QString MostLines = QStringLiteral("Megfigyelés ideje:    2026. 11. 23. 17:30:00\n"
                                         "Holdsarló kora:         82 óra 43 perc\n"
                                         "3 nap  10 óra 43 perc\n"
                                         "3,42 nap\n"
                                         "Növekvő sarló  --  13,9 %");

// The menu that opens next, answered by picking its first item; the items it
// offered go to `offered`.
void PickFirstOfNextMenu(QObject *context, QStringList &offered) {
    QTimer::singleShot(0, context, [&offered] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions()) {
            offered << action->text();
        }
        menu->actions().first()->trigger();
        menu->close();
    });
}

QString DayPicture(int day) {
    return QStringLiteral("Lunar-day%1s.gif").arg(day, 2, 10, QChar(u'0'));
}

// The pictures and the data files apart, as installed.
struct Rig {
    AppDir dir; // the data files
    AppDir pictures;
    FakeClock clock;
    QPointer<MainWindow> window;
    QLineEdit *text11, *text12;
    QComboBox *list;

    explicit Rig(const QByteArray &listFile = "Újholdak\r\n2026-11-20 06:47\r\n2026-12-20 01:43") {
        writePhasePictures(pictures);
        // Each day picture as many pixels wide as its day: one shown for
        // another is told by its size.
        for (int day = 2; day <= 11; ++day) {
            QImage picture(day, 1, QImage::Format_Grayscale8);
            picture.fill(Qt::gray);
            pictures.write(DayPicture(day), artwork::EncodeGreyGif(picture, nullptr).value());
        }
        QImage map(3, 2, QImage::Format_RGB32);
        map.fill(Qt::gray);
        map.save(pictures.pic("Lunar-map.jpg"), "JPEG");
        if (listFile != "<absent>") {
            QByteArray encoded = listFile;
            encoded.replace("Ú", "\xDA");
            dir.write("ujholdak.txt", encoded);
        }
        clock.at = Utc(2026, 11, 23, 17, 30, 0);
        window = new MainWindow({pictures.path(), dir.path()}, &clock);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        text11 = window->findChild<QLineEdit *>("Text11");
        text12 = window->findChild<QLineEdit *>("Text12");
        list = window->findChild<QComboBox *>("Ujholdak");
    }
    ~Rig() {
        if (window) {
            delete window->crescentWindow();
        }
        delete window.data();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<PictureWindow *>(w)) {
                delete w;
            }
        }
    }
    void click(const char *name) {
        QTest::mouseClick(window->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    QStringList printed() const {
        QStringList out;
        for (const auto &p : window->resultArea()->printed()) {
            out << QStringLiteral("%1,%2:%3").arg(p.x).arg(p.y).arg(p.text);
        }
        return out;
    }
    QSize picture1() const { return window->findChild<QLabel *>("Picture1")->size(); }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    void startsReadyForTyping() {
        Rig rig;
        QCOMPARE(QApplication::focusWidget(), rig.text11);
        QVERIFY(rig.text11->text().isEmpty());
        QVERIFY(rig.text12->text().isEmpty());
        QVERIFY(rig.printed().isEmpty());
        QCOMPARE(rig.list->count(), 3);
        QCOMPARE(rig.list->currentIndex(), -1);
        QCOMPARE(rig.list->placeholderText(), QStringLiteral("Újholdak"));
        QCOMPARE(rig.list->itemText(0), QStringLiteral("Újholdak"));
        QCOMPARE(rig.window->windowTitle(),
                 QStringLiteral("Lunex  - Holdsarló kor és fázis számoló     -  v1.42c  (x86)   - "
                                "Basalt Edition"));
        QCOMPARE(rig.window->resultArea()->size(), QSize(758, 390));
        QCOMPARE(rig.picture1(), QSize(137, 137));
    }

    // What the start has to say is said once each, over the window: a system
    // zone it does not know, no folder for the data files, a list it could
    // not make at the first start.
    void startMessages_data() {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<QString>("data"); // "pic", "no pic" or "none"
        QTest::addColumn<QStringList>("shown");
        const QString unknownZone = "warning:" + UnknownZoneMessage(u"Europe/Atlantis");
        QTest::newRow("nothing to say") << QByteArray("Europe/Budapest") << "pic" << QStringList{};
        QTest::newRow("unknown zone")
            << QByteArray("Europe/Atlantis") << "pic" << QStringList{unknownZone};
        QTest::newRow("no home") << QByteArray("UTC") << "none"
                                 << QStringList{"warning:" + NoHomeMessage};
        QTest::newRow("unknown zone, no home")
            << QByteArray("Europe/Atlantis") << "none"
            << QStringList{unknownZone, "warning:" + NoHomeMessage};
        QTest::newRow("list not written")
            << QByteArray("UTC") << "no pic"
            << QStringList{"critical:" +
                           WriteFailureMessage(u"ujholdak.txt", FileProblem::NoDirectory)};
    }
    void startMessages() {
        QFETCH(QByteArray, tz);
        QFETCH(QString, data);
        QFETCH(QStringList, shown);
        qputenv("TZ", tz);
        const auto restore = qScopeGuard([] { qputenv("TZ", "UTC"); });
        AppDir pictures;
        writePhasePictures(pictures);
        AppDir dir;
        if (data == "no pic") {
            QVERIFY(QDir(dir.pic("")).removeRecursively());
        }
        FakeClock clock;
        clock.at = Utc(2026, 11, 23, 17, 30, 0);
        MessageBoxes boxes;
        MainWindow window({pictures.path(), data == "none" ? QString() : dir.path()}, &clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(boxes.log(), shown);
        QTest::qWait(100);
        QCOMPARE(boxes.log(), shown);
        QCOMPARE(QFileInfo::exists(dir.pic("ujholdak.txt")), data == "pic");
    }

    void tabOrder() {
        Rig rig;
        const QStringList expected{"Text12",    "Command3", "Command1", "Command2",
                                   "Command14", "Ujholdak", "Command6", "Text11"};
        for (const QString &name : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
    }

    void typingStopsAtSixteen_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("Text11") << "Text11";
        QTest::newRow("Text12") << "Text12";
    }
    void typingStopsAtSixteen() {
        QFETCH(QString, field);
        Rig rig;
        auto *edit = rig.window->findChild<QLineEdit *>(field);
        edit->setFocus();
        QTest::keyClicks(edit, "2026-11-20 06:47:59");
        QCOMPARE(edit->text(), "2026-11-20 06:47");
        // A longer text set by an operation is held whole, line breaks included...
        const QString loaded = "2026. 11. 20. 06:47:00\r\n";
        qobject_cast<TimeField *>(edit)->setHeldText(loaded);
        QCOMPARE(edit->text(), loaded);
        // ...and typing cannot make it longer, though deleting works.
        edit->end(false);
        QTest::keyClicks(edit, "x");
        QCOMPARE(edit->text(), loaded);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), loaded.chopped(1));
        QTest::keyClicks(edit, "y");
        QCOMPARE(edit->text(), loaded.chopped(1));
    }

    void mostEvaluatesTheMoment() {
        Rig rig;
        QTest::keyClicks(rig.text11, "2026-11-20 06:47");
        rig.click("Command2");
        QCOMPARE(rig.printed(),
                 (QStringList{"700,1265:Megfigyelés ideje:    2026. 11. 23.", "5020,1265:17:30:00",
                              "700,2100:Holdsarló kora:         82 óra 43 perc",
                              "700,2800:" + Pad + "3 nap  10 óra 43 perc",
                              "700,3300:" + Pad + "3,42 nap",
                              "700,5050:" + Pad + "Növekvő sarló  --  13,9 %"}));
        QCOMPARE(rig.picture1(), QSize(1, 1)); // the box takes its picture's size
        QCOMPARE(rig.window->findChild<QLabel *>("Picture1")->pos(), QPoint(56, 200));
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        QCOMPARE(rig.text12->text(), "2026. 11. 23. 17:30:00");
        // "Mentés" then stores exactly the evaluated moment.
        rig.click("Command14");
        QCOMPARE(rig.dir.read("utolso.txt"), QByteArray("2026. 11. 23. 17:30:00\r\n"));
    }

    // An observer in Budapest: the first start makes the list in that zone,
    // the list opens at the last new moon, and ages span the clock change.
    void observerInAZoneWithSummerTime() {
        qputenv("TZ", "Europe/Budapest");
        const auto restore = qScopeGuard([] { qputenv("TZ", "UTC"); });
        Rig rig("<absent>"); // 2026-11-23 17:30 UTC
        const QStringList lines = SplitListLines(rig.dir.read("ujholdak.txt"));
        const QString heading = QStringLiteral("Újholdak (helyi idő: Europe/Budapest)");
        QCOMPARE(lines.value(0), heading);
        const int latest = int(lines.indexOf("2026-11-09 08:02")); // 07:02 UT
        QVERIFY(latest > 0);
        QCOMPARE(lines.value(latest + 1), "2026-12-09 01:52");
        QCOMPARE(rig.list->count(), lines.size());

        rig.list->showPopup();
        auto *view = qobject_cast<QListView *>(rig.list->view());
        QTRY_VERIFY(view->isVisible());
        const QRect shown = view->viewport()->rect();
        for (const int row : {latest - 1, latest, latest + 1}) {
            QVERIFY2(shown.contains(view->visualRect(rig.list->model()->index(row, 0))),
                     qPrintable(QString::number(row)));
        }
        QVERIFY(view->verticalScrollBar()->isVisible());
        QVERIFY(shown.width() >= view->fontMetrics().horizontalAdvance(heading));
        QCOMPARE(rig.list->currentIndex(), -1);
        rig.list->hidePopup();
        QVERIFY(rig.list->currentText().isEmpty());

        rig.clock.at = Utc(2025, 3, 30, 17, 30); // 19:30 summer time
        QTest::keyClicks(rig.text11, "2025-03-29 11:58");
        rig.click("Command2");
        QCOMPARE(
            rig.printed().mid(1, 2),
            (QStringList{"5020,1265:19:30:00", "700,2100:Holdsarló kora:         30 óra 32 perc"}));
        QCOMPARE(rig.text12->text(), "2025. 03. 30. 19:30:00");
    }

    // The popup is as wide as its widest entry, which need not be the one of
    // the most characters, wherever it stands in a long list; within the screen.
    void popupAsWideAsItsWidestEntry_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("widest");
        const QString narrow(30, u'i');
        const QString wide(20, u'W');
        QTest::newRow("fewer characters, at the end")
            << QStringList{"Újholdak"} + QStringList(500, narrow) + QStringList{wide} << wide;
        QTest::newRow("fewer characters, at the start")
            << QStringList{wide} + QStringList(500, narrow) << wide;
        // More entries of about its width than are laid out in full.
        QStringList many;
        for (int i = 0; i < 2000; ++i) {
            many << QStringLiteral("%1 %2").arg(QString(12, QChar(u'A' + i % 26))).arg(i, 4);
        }
        QTest::newRow("among thousands alike") << many << many.at(12);
        QTest::newRow("wider than the screen")
            << QStringList{"Újholdak", QString(1024, u'M')} << QString(1024, u'M');
    }
    void popupAsWideAsItsWidestEntry() {
        QFETCH(QStringList, entries);
        QFETCH(QString, widest);
        QByteArray file;
        for (const QString &entry : entries) {
            file += EncodeAnsi(entry) + "\r\n";
        }
        Rig rig(file);
        rig.list->showPopup();
        auto *view = qobject_cast<QListView *>(rig.list->view());
        QTRY_VERIFY(view->isVisible());
        const QRect screen = view->window()->screen()->availableGeometry();
        const int needed = view->fontMetrics().horizontalAdvance(widest);
        QVERIFY2(view->viewport()->width() >= needed || view->window()->width() >= screen.width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(view->viewport()->width()).arg(needed)));
        QVERIFY(screen.contains(view->window()->geometry()));
        rig.list->hidePopup();
    }

    void messagesLeaveEverythingAsItWas_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text11");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("Most! without a new moon")
            << "Command2"
            << ""
            << "Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!" << int(QMessageBox::Warning);
        QTest::newRow("Utolsó Újhold without its file")
            << "Command3"
            << "typed"
            << "Az 'ujhold.txt' fájl nem található!" << int(QMessageBox::Critical);
        QTest::newRow("Utolsó megfigyelés without its file")
            << "Command1"
            << "2026-11-20 06:47"
            << "Az 'utolsó.txt' fájl nem található!" << int(QMessageBox::Critical);
        QTest::newRow("Mentés with a blank observation")
            << "Command14"
            << "typed"
            << "Üres dátumot NEM mentek!" << int(QMessageBox::Warning);
    }
    void messagesLeaveEverythingAsItWas() {
        QFETCH(QString, button);
        QFETCH(QString, text11);
        QFETCH(QString, message);
        QFETCH(int, icon);
        Rig rig;
        rig.text11->setText(text11);
        rig.text12->setText("   ");
        MessageBoxes watcher;
        rig.click(qPrintable(button));
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(watcher.last().text, message);
        QCOMPARE(watcher.last().title, "Lunex");
        QCOMPARE(int(watcher.last().icon), icon);
        QCOMPARE(rig.text11->text(), text11);
        QCOMPARE(rig.text12->text(), "   ");
        QVERIFY(rig.printed().isEmpty());
        QVERIFY(!QFile::exists(rig.dir.pic("ujhold.txt")));
        QVERIFY(!QFile::exists(rig.dir.pic("utolso.txt")));
    }

    void loadAndPickTheNewMoon() {
        Rig rig;
        rig.dir.write("ujhold.txt", "2026-10-21 14:25\r\n");
        // "OK" right after the start: nothing to store, and nothing is lost.
        rig.click("Command6");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-10-21 14:25\r\n"));
        rig.click("Command3");
        QCOMPARE(rig.text11->text(), "2026-10-21 14:25\r\n");
        // "OK" with nothing picked keeps the text and stores it.
        rig.text11->setText("typed");
        rig.click("Command6");
        QCOMPARE(rig.text11->text(), "typed");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("typed\r\n"));
        // Picking with the keyboard, then "OK".
        rig.list->setFocus();
        QTest::keyClick(rig.list, Qt::Key_Down);
        QTest::keyClick(rig.list, Qt::Key_Down);
        QCOMPARE(rig.list->currentIndex(), 1);
        rig.click("Command6");
        QCOMPARE(rig.text11->text(), "2026-11-20 06:47");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        // The heading entry leaves the new moon alone.
        rig.list->setCurrentIndex(0);
        rig.click("Command6");
        QCOMPARE(rig.text11->text(), "2026-11-20 06:47");
    }

    void storedObservation() {
        Rig rig;
        rig.text11->setText("2026-11-20 06:47");
        rig.text12->setText("unsaved");
        rig.dir.write("utolso.txt", "2026-11-23 17:30\r\n");
        rig.click("Command1");
        const QStringList expected{"700,1265:Megfigyelés ideje:    2026. 11. 23. 17:30:00",
                                   "700,2100:Holdsarló kora:         82 óra 43 perc",
                                   "700,2800:" + Pad + "3 nap  10 óra 43 perc",
                                   "700,3300:" + Pad + "3,42 nap",
                                   "700,5050:" + Pad + "Növekvő sarló  --  13,7 %"};
        QCOMPARE(rig.printed(), expected);
        QCOMPARE(rig.text12->text(), "2026-11-23 17:30\r\n");
        rig.click("Command1");
        QCOMPARE(rig.printed(), expected);
        QCOMPARE(rig.dir.read("utolso.txt"), QByteArray("2026-11-23 17:30\r\n"));
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        // An empty observation file: the box empties, then the message.
        rig.dir.write("utolso.txt", "");
        MessageBoxes watcher;
        rig.click("Command1");
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(watcher.last().text,
                 QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!"));
        QCOMPARE(rig.text12->text(), QString());
        QCOMPARE(rig.printed(), expected);
    }

    void resultsSurviveRepaints() {
        Rig rig;
        rig.text11->setText("2026-11-20 06:47");
        rig.click("Command2");
        const QImage before = rig.window->resultArea()->grab().toImage();
        rig.window->resultArea()->repaint();
        QCOMPARE(rig.window->resultArea()->grab().toImage(), before);
        // Something light green is drawn where text 2 stands.
        bool lit = false;
        for (int x = 47; x < 250 && !lit; ++x) {
            for (int y = 140; y < 160 && !lit; ++y) {
                lit = before.pixelColor(x, y).green() > 200 && before.pixelColor(x, y).red() < 200;
            }
        }
        QVERIFY(lit);
    }

    // Every picture item, chosen from the menu and by its keys.
    void menusAndShortcuts_data() {
        QTest::addColumn<QString>("item"); // the menu item chosen, "" when the keys are pressed
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("picture"); // the file shown, "" for no picture window
        const QList<std::pair<QKeySequence, int>> days{
            {Qt::Key_F2, 2},   {Qt::Key_F3, 3},  {Qt::Key_F4, 4}, {Qt::Key_F5, 5},
            {Qt::Key_F6, 6},   {Qt::Key_F7, 7},  {Qt::Key_F8, 8}, {Qt::Key_F9, 9},
            {Qt::Key_F11, 10}, {Qt::Key_F12, 11}};
        for (const auto &[keys, day] : days) {
            const QString item = QStringLiteral("hold%1").arg(day, 2, 10, QChar(u'0'));
            QTest::addRow("%s", qPrintable(item)) << item << QKeySequence() << DayPicture(day);
            QTest::addRow("%s", qPrintable(keys.toString())) << "" << keys << DayPicture(day);
        }
        QTest::newRow("hold12") << "hold12" << QKeySequence() << "Lunar-map.jpg";
        QTest::newRow("Ctrl+M") << "" << QKeySequence(Qt::CTRL | Qt::Key_M) << "Lunar-map.jpg";
        QTest::newRow("F10 opens nothing") << "" << QKeySequence(Qt::Key_F10) << "";
        QTest::newRow("Ctrl+X is switched off") << "" << QKeySequence(Qt::CTRL | Qt::Key_X) << "";
    }
    void menusAndShortcuts() {
        QFETCH(QString, item);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, picture);
        Rig rig;
        if (item.isEmpty()) {
            QTest::keySequence(rig.window, keys);
        } else {
            auto *action = rig.window->findChild<QAction *>(item);
            QVERIFY(action);
            action->trigger();
        }
        QApplication::processEvents();
        PictureWindow *form3 = rig.window->pictureWindow();
        QCOMPARE(form3 != nullptr, !picture.isEmpty());
        QVERIFY(rig.window->isVisible());
        if (form3) {
            QCOMPARE(form3->windowTitle(), "Hold térképek");
            const QImage shown = form3->picture()->pixmap().toImage();
            QVERIFY(!shown.isNull());
            QCOMPARE(shown.size(), QImage(rig.pictures.pic(picture)).size());
            QCOMPARE(form3->picture()->pos(), QPoint(16, 16));
        }
    }

    void accessKeysOpenTheirMenus_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+H") << int(Qt::Key_H) << "holdmap";
        QTest::newRow("Alt+S") << int(Qt::Key_S) << "szamit";
        QTest::newRow("Alt+E") << int(Qt::Key_E) << "prg";
    }
    void accessKeysOpenTheirMenus() {
        QFETCH(int, key);
        QFETCH(QString, menu);
        Rig rig;
        QTest::keyClick(rig.window, Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
        QApplication::activePopupWidget()->close();
    }

    void switchedOffItems() {
        Rig rig;
        for (const char *name : {"szamolt", "holdsarlolista", "kilep"}) {
            auto *action = rig.window->findChild<QAction *>(name);
            QVERIFY2(action && !action->isEnabled(), name);
            action->trigger(); // a disabled action does not fire
        }
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.window->findChild<QAction *>("hold10")->shortcut(), QKeySequence(Qt::Key_F11));
        QCOMPARE(rig.window->findChild<QAction *>("vonas")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_F1));
        QCOMPARE(rig.window->findChild<QAction *>("leir")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_L));
        QCOMPARE(rig.window->findChild<QAction *>("hold02")->text(), "  2. nap");
        // The forecast follows the two switched-off items; the log comes last.
        const QList<QAction *> calculations = rig.window->findChild<QMenu *>("szamit")->actions();
        QCOMPARE(calculations.at(3)->objectName(), "holdsarlo");
        QCOMPARE(calculations.at(3)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QCOMPARE(calculations.last()->objectName(), "naplo");
        QVERIFY(calculations.last()->isEnabled());
    }

    void onePictureWindowComesBackAfresh() {
        Rig rig;
        QTest::keyClick(rig.window, Qt::Key_F2);
        QPointer<PictureWindow> first = rig.window->pictureWindow();
        QVERIFY(first);
        // Another picture replaces the first in the same window.
        QTest::mouseClick(rig.window->findChild<QLabel *>("Picture1"), Qt::LeftButton);
        QCOMPARE(rig.window->pictureWindow(), first.data());
        QCOMPARE(first->picture()->pixmap().size(), QSize(3, 2));
        const QWidgetList all = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(
                     all.begin(), all.end(),
                     [](QWidget *w) { return qobject_cast<PictureWindow *>(w) && w->isVisible(); }),
                 1);
        first->close();
        QTRY_VERIFY(!first);
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window));
        QTest::keyClick(rig.window, Qt::Key_F5);
        QVERIFY(rig.window->pictureWindow());
        QCOMPARE(rig.window->pictureWindow()->picture()->pixmap().size(), QSize(5, 1));
    }

    // Every secondary window: one at most, raised when asked again, made afresh
    // after a close, and the main window stays usable beside it.
    void secondaryWindows_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::newRow("calculator") << "vonas"
                                    << "Számítások";
        QTest::newRow("description") << "leir"
                                     << "Program leírása";
        QTest::newRow("About") << "prog"
                               << "About Lunex";
        QTest::newRow("picture window") << "hold12"
                                        << "Hold térképek";
        QTest::newRow("crescent forecast") << "holdsarlo"
                                           << "Holdsarló-előrejelzés";
    }
    void secondaryWindows() {
        QFETCH(QString, action);
        QFETCH(QString, title);
        Rig rig;
        auto *item = rig.window->findChild<QAction *>(action);
        const auto opened = [&]() -> QWidget * {
            QWidget *found = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->windowTitle() == title) {
                    if (found) {
                        return nullptr; // a second copy
                    }
                    found = w;
                }
            }
            return found;
        };
        item->trigger();
        QPointer<QWidget> first = opened();
        QVERIFY(first);
        QVERIFY(!first->parentWidget());
        QVERIFY(!first->isModal());
        item->trigger();
        QCOMPARE(opened(), first.data());
        // The main window still answers while it is open.
        rig.text11->setText("2026-11-20 06:47");
        rig.click("Command2");
        QCOMPARE(rig.printed().size(), 6);
        first->close();
        QTRY_VERIFY(!first);
        item->trigger();
        QVERIFY(opened());
        opened()->close();
    }

    void missingPictureKeepsTheWindowOpen_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cut"); // bytes of the real picture left; 0 for none
        QTest::newRow("missing day picture") << QKeySequence(Qt::Key_F7) << "Lunar-day07s.gif" << 0;
        QTest::newRow("map cut short")
            << QKeySequence(Qt::CTRL | Qt::Key_M) << "Lunar-map.jpg" << 20000;
    }
    void missingPictureKeepsTheWindowOpen() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, file);
        QFETCH(int, cut);
        Rig rig;
        QFile::remove(rig.pictures.pic(file));
        if (cut > 0) {
            QFile real(QStringLiteral(LUNEX_PIC_DIR "/") + file);
            QVERIFY(real.open(QIODevice::ReadOnly));
            rig.pictures.write(file, real.readAll().left(cut));
        }
        MessageBoxes watcher;
        QTest::keySequence(rig.window, key);
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(watcher.last().text, QStringLiteral("A(z) '%1' kép nem tölthető be!").arg(file));
        QCOMPARE(watcher.last().icon, QMessageBox::Critical);
        QVERIFY(rig.window->pictureWindow() && rig.window->pictureWindow()->isVisible());
        QVERIFY(rig.window->pictureWindow()->picture()->pixmap().isNull());
    }

    void closingTheMainWindowAloneKeepsTheProgram() {
        Rig rig;
        QTest::keyClick(rig.window, Qt::Key_F3);
        QPointer<PictureWindow> form3 = rig.window->pictureWindow();
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        // Qt quits on the last window only inside the event loop, so run one.
        bool stillOpen = false;
        QTimer::singleShot(0, rig.window, [&] { rig.window->close(); });
        QTimer::singleShot(100, form3, [&] {
            stillOpen = !rig.window && form3 && form3->isVisible() && lastClosed.isEmpty();
            form3->close();
        });
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); }); // never hang
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(stillOpen);
        QCOMPARE(lastClosed.count(), 1);
    }

    // What the design fixes stays as designed under a dark desktop theme; the
    // message boxes follow the theme, readable in a light and a dark one.
    void readableInADarkTheme_data() {
        QTest::addColumn<QString>("name"); // "" for the printed results
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        const QColor black(0, 0, 0);
        QTest::newRow("Label8") << "Label8" << QColor(255, 255, 128) << black;
        QTest::newRow("Label9") << "Label9" << QColor(128, 255, 128) << black;
        QTest::newRow("Text11") << "Text11" << QColor(255, 255, 192) << black;
        QTest::newRow("Text12") << "Text12" << QColor(128, 255, 128) << black;
        QTest::newRow("results") << "" << QColor(128, 255, 128) << black;
        QTest::newRow("Command2") << "Command2" << black << QColor(128, 128, 255);
        QTest::newRow("Ujholdak") << "Ujholdak" << black << QColor(255, 255, 192);
        QTest::newRow("menu bar") << "menu bar" << black << QColor(240, 240, 240);
    }
    void readableInADarkTheme() {
        QFETCH(QString, name);
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        Rig rig;
        QTest::keyClicks(rig.text11, "2026-11-20 06:47");
        rig.click("Command2");
        QWidget *part = name == "menu bar" ? rig.window->menuBar()
                        : name.isEmpty()   ? rig.window->resultArea()
                                           : rig.window->findChild<QWidget *>(name);
        // The results: the age line, "Holdsarló kora: 82 óra 43 perc".
        const QRect box = name.isEmpty() ? QRect(47, 140, 200, 20) : part->rect();
        QVERIFY(DrawnIn(rig.window->grab().toImage(),
                        box.translated(part->mapTo(rig.window, QPoint())), text, background));
    }

    void messageBoxesReadable_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light theme") << false;
        QTest::newRow("dark theme") << true;
    }
    void messageBoxesReadable() {
        QFETCH(bool, dark);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(dark ? DarkPalette() : QPalette(Qt::black, QColor(240, 240, 240)));
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        Rig rig;
        MessageBoxes watcher;
        rig.click("Command2");
        QTRY_COMPARE(watcher.count(), 1);
        const double contrast = Contrast(watcher.last().textColour, watcher.last().background);
        QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    }

    // The time fields show their whole frame, and keyboard focus shows as a
    // light frame on the black window.
    void frames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QColor>("top"); // the colour of its top edge
        const QColor grey(128, 128, 128), light(255, 255, 255);
        QTest::newRow("Text11") << "Text11" << false << grey;
        QTest::newRow("Text12") << "Text12" << false << grey;
        QTest::newRow("Text11 focused") << "Text11" << true << light;
        QTest::newRow("Command3 focused") << "Command3" << true << light;
        QTest::newRow("Ujholdak focused") << "Ujholdak" << true << light;
    }
    void frames() {
        QFETCH(QString, name);
        QFETCH(bool, focused);
        QFETCH(QColor, top);
        Rig rig;
        auto *widget = rig.window->findChild<QWidget *>(name);
        (focused ? widget : rig.window->findChild<QWidget *>("Command6"))->setFocus();
        QCOMPARE(widget->hasFocus(), focused);
        const QRect g = widget->geometry();
        // Past the rounded corners of a button.
        const QRect edge(g.left() + 3, g.top(), g.width() - 6, 1);
        QCOMPARE(PixelsOf(rig.window->resultArea()->grab().toImage(), edge, top), edge.width());
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label"); // the caption a screen reader gives it
        const char *rows[][3] = {
            {"Text11", "Utolsó Újhold", "Label8"},
            {"Text12", "Utolsó megfigyelés", "Label9"},
            {"Ujholdak", "Újholdak", ""},
            {"Command3", "Utolsó Újhold", ""},
            {"Command1", "Utolsó megfigyelés", ""},
            {"Command2", "Most!", ""},
            {"Command14", "Mentés", ""},
            {"Command6", "OK", ""},
            {"Picture1", "Növekvő sarló", ""},
            {"A_results", "Eredmények", ""},
            // The calculator's two fields, by their units.
            {"Form4/Text41", "Fok", ""},
            {"Form4/Text42", "Vonás", ""},
            // The forecast that Ctrl+H opens.
            {"Forecast/placeButton", "Megfigyelési hely", ""},
            {"Forecast/previousLunation", "Előző újhold", ""},
            {"Forecast/nextLunation", "Következő újhold", ""},
            {"Forecast/eveningsTable", "Esték", ""},
            {"Forecast/momentSlider", "Időpont napnyugta és holdnyugta között", "momentCaption"},
            {"Forecast/bestTimeButton", "Legjobb időpont", ""},
            {"Forecast/skyChart", "Hova nézzünk", ""},
            {"Forecast/criterionBox", "Yallop", "criterionCaption"}, // a list says its choice
            {"Forecast/viewBox", "Az egész világ", "viewCaption"},
            {"Forecast/worldMap", "Térkép", ""},
            {"Forecast/saveEveningsButton", "Esték mentése (CSV)…", ""},
            {"Forecast/saveSkyButton", "Rajz mentése (PNG)…", ""},
            {"Forecast/saveMapButton", "Térkép mentése (PNG)…", ""},
            {"Forecast/closeButton", "Bezárás", ""},
        };
        for (const auto &row : rows) {
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                                  << QString::fromUtf8(row[2]);
        }
    }
    void accessibleNames() {
        QFETCH(QString, widget);
        QFETCH(QString, name);
        QFETCH(QString, label);
        Rig rig;
        QTest::keyClicks(rig.text11, "2026-11-20 06:47");
        rig.click("Command2");
        QWidget *window = rig.window;
        if (widget.startsWith(u"Form4/")) {
            QTest::keySequence(rig.window, QKeySequence(Qt::CTRL | Qt::Key_F1));
            window = rig.window->calculatorWindow();
        } else if (widget.startsWith(u"Forecast/")) {
            QTest::keyClick(rig.window, Qt::Key_H, Qt::ControlModifier);
            window = rig.window->crescentWindow();
        }
        widget = widget.section(u'/', -1);
        QAccessibleInterface *iface =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget *>(widget));
        QCOMPARE(iface->text(QAccessible::Name), name);
        if (!label.isEmpty()) {
            const auto labels = iface->relations(QAccessible::Label);
            QCOMPARE(labels.size(), 1);
            QCOMPARE(labels.first().first->object()->objectName(), label);
        }
    }

    // The result lines are the result area's accessible text, announced after
    // each evaluation that draws them, and copied from its context menu.
    void resultLines() {
        Rig rig;
        Announced.clear();
        // Accessibility switched on as a screen reader would, the way Qt's own
        // tests do: no public call does it on a platform without a bridge.
        QPlatformAccessibility *platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility();
        platform->setActive(true);
        const auto handler = QAccessible::installUpdateHandler(RecordAnnouncement);
        const auto restore = qScopeGuard([&] {
            QAccessible::installUpdateHandler(handler);
            platform->setActive(false);
        });
        auto *lines = rig.window->findChild<QWidget *>("A_results");
        QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(lines)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 0);

        QTest::keyClicks(rig.text11, "2026-11-20 06:47");
        rig.click("Command2");
        QCOMPARE(text->text(0, text->characterCount()), MostLines);
        QCOMPARE(Announced, QStringList{MostLines});
        // Each character where it is drawn: "3,42 nap" below "3 nap".
        const int at = int(MostLines.indexOf(u"3,42"));
        const QRect drawn = text->characterRect(at);
        QVERIFY(drawn.top() > text->characterRect(at - 2).bottom());
        QCOMPARE(text->offsetAtPoint(drawn.center()), at);

        rig.dir.write("utolso.txt", "2026-11-23 17:30\r\n");
        rig.click("Command1");
        QCOMPARE(Announced.size(), 2);
        QVERIFY(Announced.last().startsWith("Megfigyelés ideje:    2026. 11. 23. 17:30:00\n"));
        // A refused evaluation changes nothing and announces nothing.
        rig.text11->clear();
        MessageBoxes watcher;
        rig.click("Command2");
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(Announced.size(), 2);

        QStringList offered;
        PickFirstOfNextMenu(lines, offered);
        QContextMenuEvent click(QContextMenuEvent::Mouse,
                                drawn.center() - lines->mapToGlobal(QPoint()), drawn.center());
        QApplication::sendEvent(lines, &click);
        QCOMPARE(offered, QStringList{"Eredmények másolása"});
        QCOMPARE(QGuiApplication::clipboard()->text(), Announced.last());
    }

    // The results' menu from the keyboard, the design's Tab order unchanged
    // (tabOrder): its shortcut anywhere in the window; the menu key (which the
    // window system sends as a context menu) and Shift+F10 once a click gave
    // the results the focus.
    void resultsMenuFromTheKeyboard_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Ctrl+Shift+C") << "shortcut";
        QTest::newRow("menu key") << "menu key";
        QTest::newRow("Shift+F10") << "shift+f10";
    }
    void resultsMenuFromTheKeyboard() {
        QFETCH(QString, way);
        Rig rig;
        QTest::keyClicks(rig.text11, "2026-11-20 06:47");
        rig.click("Command2");
        QGuiApplication::clipboard()->clear();
        auto *lines = rig.window->findChild<QWidget *>("A_results");
        if (way == "shortcut") {
            QTest::keySequence(rig.text12, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
            QCOMPARE(QGuiApplication::clipboard()->text(), MostLines);
            return;
        }
        QTest::mouseClick(lines, Qt::LeftButton);
        QVERIFY(lines->hasFocus());
        QStringList offered;
        PickFirstOfNextMenu(lines, offered);
        if (way == "menu key") {
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
            QApplication::sendEvent(rig.window->windowHandle(), &key);
        } else {
            QTest::keyClick(lines, Qt::Key_F10, Qt::ShiftModifier);
        }
        QCOMPARE(offered, QStringList{"Eredmények másolása"});
        QCOMPARE(QGuiApplication::clipboard()->text(), MostLines);
    }

    // The day keys work in the picture window too, after the main window is gone.
    void pictureWindowTakesTheKeys() {
        Rig rig;
        QTest::keyClick(rig.window, Qt::Key_F2);
        QPointer<PictureWindow> form3 = rig.window->pictureWindow();
        form3->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form3));
        const QList<std::pair<QKeySequence, QSize>> keys{
            {Qt::Key_F5, {5, 1}},
            {Qt::Key_F10, {5, 1}}, // nothing
            {QKeySequence(Qt::CTRL | Qt::Key_M), {3, 2}},
            {Qt::Key_F12, {11, 1}},
        };
        for (const auto &[key, size] : keys) {
            QTest::keySequence(form3, key);
            QCOMPARE(form3->picture()->pixmap().size(), size);
        }
        delete rig.window.data();
        QTest::keyClick(form3, Qt::Key_F3);
        QCOMPARE(form3->picture()->pixmap().size(), QSize(3, 1));
    }

    void pictureWindowOpensClearOfTheMainWindow_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("at");
        const QRect wide(0, 0, 3000, 1200);
        QTest::newRow("room on the right") << QRect(100, 100, 800, 420) << wide << QPoint(900, 100);
        QTest::newRow("room on the left") << QRect(2000, 300, 800, 420) << wide << QPoint(833, 300);
        QTest::newRow("room below")
            << QRect(581, 0, 758, 420) << QRect(0, 0, 1920, 1200) << QPoint(581, 420);
        QTest::newRow("on a second screen")
            << QRect(2000, 0, 800, 420) << QRect(1920, 0, 1920, 1200) << QPoint(2000, 420);
        // No room anywhere: inside the screen, covering as little as it can.
        QTest::newRow("no room") << QRect(581, 330, 758, 420) << QRect(0, 0, 1920, 1080)
                                 << QPoint(753, 330);
    }
    void pictureWindowOpensClearOfTheMainWindow() {
        QFETCH(QRect, main);
        QFETCH(QRect, screen);
        QFETCH(QPoint, at);
        QCOMPARE(look::PlaceClearOf(QSize(1167, 729), main, screen), at);
    }

    // On a screen of twice the density the banner is drawn at twice the pixels.
    void bannerCrispOnHighDensityScreens() {
        Rig rig;
        const QImage banner = look::BannerImage(2);
        QCOMPARE(banner.devicePixelRatio(), 2.0);
        QCOMPARE(banner.size(), QSize(600, 84));
        auto *box = rig.window->findChild<QWidget *>("PictureHoldak");
        QPixmap screen(box->size() * 2);
        screen.setDevicePixelRatio(2);
        box->render(&screen);
        const QRect shown(QPoint(), screen.size());
        QCOMPARE(screen.toImage().convertToFormat(QImage::Format_RGB32).copy(shown),
                 banner.copy(shown));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
