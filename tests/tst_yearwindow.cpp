// The window "Éves áttekintés": opened from the main window, paged by year
// within the years served, its record chances marked, and a row that opens
// its lunation in the crescent forecast.

#include "app/forecast/crescentwindow.h"
#include "app/main/mainwindow.h"
#include "app/year/yearwindow.h"
#include "dates.h"
#include "evalfakes.h"
#include "fakes.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>

#include <algorithm>

using namespace lunex;
using namespace lunex::test;

namespace {

// The main window at a fixed moment with Szeged stored as the place, and the
// year window its menu item opens.
struct Rig {
    AppDir dir;
    FakeClock clock;
    QPointer<MainWindow> main;
    QPointer<YearWindow> window;
    explicit Rig(const QDateTime &now, const char *placeLine = "Szeged;46.253;20.148;79\r\n") {
        dir.write("hely.txt", placeLine);
        clock.at = now;
        main = new MainWindow(dir.portable(), &clock);
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_E, Qt::ControlModifier);
        window = main->yearWindow();
    }
    ~Rig() {
        delete window.data();
        delete main.data();
    }
    QString cell(int row, int column) const {
        const QTableWidgetItem *item = window->table()->item(row, column);
        return item ? item->text() : QString();
    }
    QPushButton *button(const char *name) const {
        return window->findChild<QPushButton *>(QLatin1String(name));
    }
};

} // namespace

class TestYearWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    // The menu item and its keys open the year of the clock at the stored
    // place; the items switched off stay so.
    void openedFromTheMenu() {
        Rig rig(Utc(2027, 3, 1, 12));
        QVERIFY(rig.window);
        QCOMPARE(rig.window->windowTitle(), "Éves áttekintés");
        QCOMPARE(rig.window->overview().year, 2027);
        QVERIFY(rig.window->findChild<QLabel *>("placeText")->text().startsWith(u"Szeged ("));
        QAction *item = rig.main->findChild<QAction *>("evesattekintes");
        QVERIFY(item && item->isEnabled());
        QCOMPARE(item->text(), "Éves áttekintés…");
        for (const char *name : {"szamolt", "holdsarlolista"}) {
            QVERIFY(!rig.main->findChild<QAction *>(name)->isEnabled());
        }
        QCOMPARE(rig.window->table()->rowCount(),
                 SightCount * rig.window->overview().lunations.size());
    }

    // Paged a year at a time, never past the years the new moons serve.
    void pagedByYear_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("previousEnabled");
        QTest::addColumn<bool>("nextEnabled");
        QTest::newRow("next") << Utc(2027, 6, 1) << "nextYear" << 2028 << true << true;
        QTest::newRow("previous") << Utc(2027, 6, 1) << "previousYear" << 2026 << true << true;
        QTest::newRow("up to the last year")
            << Utc(2999, 6, 1) << "nextYear" << 3000 << true << false;
        QTest::newRow("down to the first year")
            << Utc(1001, 6, 1) << "previousYear" << 1000 << false << true;
    }
    void pagedByYear() {
        QFETCH(QDateTime, now);
        QFETCH(QString, press);
        QFETCH(int, shown);
        QFETCH(bool, previousEnabled);
        QFETCH(bool, nextEnabled);
        Rig rig(now);
        QTest::mouseClick(rig.button(qPrintable(press)), Qt::LeftButton);
        QCOMPARE(rig.window->overview().year, shown);
        QCOMPARE(rig.window->findChild<QLabel *>("yearText")->text(), QString::number(shown));
        QCOMPARE(rig.button("previousYear")->isEnabled(), previousEnabled);
        QCOMPARE(rig.button("nextYear")->isEnabled(), nextEnabled);
        // A press on a switched-off button changes nothing.
        for (const char *name : {"previousYear", "nextYear"}) {
            if (!rig.button(name)->isEnabled()) {
                QTest::mouseClick(rig.button(name), Qt::LeftButton);
                QCOMPARE(rig.window->overview().year, shown);
            }
        }
    }

    // The record chances are the highlighted rows, one for each kind of sight
    // that the year has.
    void recordChancesHighlighted() {
        Rig rig(Utc(2027, 3, 1, 12));
        const int recordColumn = rig.window->table()->columnCount() - 1;
        QList<int> marked;
        for (int row = 0; row < rig.window->table()->rowCount(); ++row) {
            if (rig.cell(row, recordColumn).contains(u"rekordesély")) {
                marked << row;
                QVERIFY(rig.window->table()->item(row, 2)->font().bold());
            }
        }
        const YearOverview &year = rig.window->overview();
        QList<int> records;
        for (const Sight sight : Sights) {
            if (year.record[int(sight)] >= 0) {
                records << year.record[int(sight)] * SightCount + int(sight);
            }
        }
        std::sort(records.begin(), records.end());
        QVERIFY(records.size() >= 2);
        QCOMPARE(marked, records);
    }

    // A place far from the system's zone keeps its own clock, named, as the
    // forecast a row opens does.
    void onThePlacesClock() {
        Rig rig(Utc(2027, 3, 1, 12), "Mexikóváros;19.43;-99.13;2240;America/Mexico_City\r\n");
        const QTimeZone mexico("America/Mexico_City");
        const QList<QLabel *> labels = rig.window->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel *label) {
            return label->text().contains(u"America/Mexico_City");
        }));
        const QDateTime newMoon = rig.window->overview().lunations.first().lunation.newMoon;
        const QString local =
            QLocale().toString(RoundedToMinute(newMoon).toTimeZone(mexico).time(), u"H:mm");
        const QString budapest = QLocale().toString(
            RoundedToMinute(newMoon).toTimeZone(QTimeZone("Europe/Budapest")).time(), u"H:mm");
        QVERIFY2(rig.cell(0, 0).contains(local), qPrintable(rig.cell(0, 0)));
        QVERIFY(!rig.cell(0, 0).contains(budapest));
    }

    // Enter on a row opens its lunation in the forecast, its first evening
    // with optical aid the row's date.
    void rowOpensTheForecast() {
        Rig rig(Utc(2027, 3, 1, 12));
        QTableWidget *table = rig.window->table();
        const int row = SightCount + int(Sight::FirstEveningOpticalAid);
        table->setFocus();
        table->setCurrentCell(row, 2);
        QTest::keyClick(table, Qt::Key_Return);
        QPointer<CrescentWindow> forecast = rig.window->forecastWindow();
        QVERIFY(forecast);
        QVERIFY(forecast->isVisible());
        const auto cleanup = qScopeGuard([&] { delete forecast.data(); });
        QCOMPARE(forecast->lunationNumber(),
                 rig.window->overview().lunations[YearWindow::LunationOfRow(row)].number);
        QString firstAided;
        for (const Evening &e : forecast->lunation().evenings) {
            if (e.firstOpticalAid) {
                firstAided = QLocale().toString(e.date, QLocale::ShortFormat);
            }
        }
        QCOMPARE(rig.cell(row, 2), firstAided);
    }
};

QTEST_MAIN(TestYearWindow)
#include "tst_yearwindow.moc"
