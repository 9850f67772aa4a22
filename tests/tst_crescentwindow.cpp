// The window "Holdsarló-előrejelzés" and its drawings: the evenings it shows,
// where it tells the observer to look, the map with the place marked, and
// the keyboard.

#include "app/forecast/crescentwindow.h"
#include "app/forecast/eveningstable.h"
#include "app/forecast/mappanel.h"
#include "app/forecast/skypanel.h"
#include "app/main/mainwindow.h"
#include "app/place/placedialog.h"
#include "charts/skychart.h"
#include "charts/visibilitychart.h"
#include "dates.h"
#include "evalfakes.h"
#include "fakes.h"
#include "look/colours.h"
#include "lunar/evenings.h"
#include "lunar/places.h"
#include "messageboxes.h"
#include "messages/crescenttexts.h"
#include "texts/eveningcsv.h"
#include "themes.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cmath>

using namespace lunex;
using namespace lunex::test;

Q_DECLARE_METATYPE(lunex::Criterion)
Q_DECLARE_METATYPE(lunex::MapRegion)
Q_DECLARE_METATYPE(lunex::Twilight)

namespace {

const QTimeZone Zone("Europe/Budapest");

Evening EveningAt(const Place &place, const QDate &from, int index) {
    return ComputeLunations(place, QDateTime(from, QTime(0, 0), QTimeZone::utc()), 1)
        .first()
        .evenings[index];
}

// The main window with a new moon typed in, and the forecast that Ctrl+H
// opens from it at a fixed moment.
struct Rig {
    AppDir dir;
    FakeClock clock;
    QPointer<MainWindow> main;
    QPointer<CrescentWindow> window;
    // `skyline`: the place's horizont.txt, beside Budapest's hely.txt; none
    // when empty.
    explicit Rig(const QDateTime &now, const QString &newMoonText = {},
                 const QByteArray &skyline = {}) {
        dir.write("ujholdak.txt", "\xDAjholdak\r\n2026-12-09 01:52\r\n");
        if (!skyline.isEmpty()) {
            dir.write("hely.txt", "Budapest;47.5;19.04;105;Europe/Budapest\r\n");
            dir.write("horizont.txt", skyline);
        }
        clock.at = now;
        main = new MainWindow(dir.portable(), &clock);
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClicks(main->findChild<QLineEdit *>("Text11"), newMoonText);
        QTest::keyClick(main, Qt::Key_H, Qt::ControlModifier);
        window = main->crescentWindow();
        if (window) {
            window->activateWindow();
        }
    }
    ~Rig() {
        delete window.data();
        delete main.data();
    }
    QString cell(int row, int column) const {
        const QTableWidgetItem *item = window->eveningsTable()->item(row, column);
        return item ? item->text() : QString();
    }
    // The table's row of the lunation's index-th evening (morning).
    int evening(int index) const {
        return window->eveningsTable()->rowOf(Direction::Evening, index);
    }
    int morning(int index) const {
        return window->eveningsTable()->rowOf(Direction::Morning, index);
    }
    QWidget *control(const QString &name) const { return window->findChild<QWidget *>(name); }
    // The column under the heading as it reads on one line, or -1.
    int column(const QString &heading) const {
        const QTableWidget *table = window->eveningsTable();
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem *item = table->horizontalHeaderItem(c);
            // A heading hyphenated onto two lines reads as one word.
            if (item &&
                QString(item->text()).replace(QStringLiteral("-\n"), QString()).simplified() ==
                    heading) {
                return c;
            }
        }
        return -1;
    }
    // The row of the evening whose date cell begins with `date`, or -1.
    int row(const QString &date) const {
        const int dates = column(QStringLiteral("Dátum"));
        for (int r = 0; r < window->eveningsTable()->rowCount(); ++r) {
            if (cell(r, dates).startsWith(date)) {
                return r;
            }
        }
        return -1;
    }
};

int Lightness(const QImage &image, QPointF at) {
    return image.pixelColor(at.toPoint()).lightness();
}

} // namespace

class TestCrescentWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    // The evenings of December 2026 from Budapest, the place before any
    // choice: the window shows the library's evenings, in the user's forms.
    void eveningsOfTheLibrary_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells"); // date, sunset, moonset, lag, best, age or why
        QTest::addColumn<QString>("yallop");
        QTest::newRow("new moon's day")
            << 0 << QStringList{"2026. 12. 09. este",
                                "15:53",
                                "15:43",
                                "-10",
                                "–",
                                "A Hold a Nap előtt nyugszik le: nem látható."}
            << QString();
        QTest::newRow("first crescent")
            << 1 << QStringList{"2026. 12. 10. este", "15:53", "16:38", "46", "16:13", "38 ó 21 p"}
            << "C – optikai eszközzel kell megkeresni, utána szabad szemmel is";
        QTest::newRow("seen by eye")
            << 2 << QStringList{"2026. 12. 11. este", "15:53", "17:41", "109", "16:41", "62 ó 49 p"}
            << "A – szabad szemmel könnyen látható";
    }
    void eveningsOfTheLibrary() {
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        QFETCH(QString, yallop);
        Rig rig(Utc(2026, 12, 5, 12));
        const Lunation library =
            ComputeLunations(FindPlace(u"Budapest")->place, Utc(2026, 12, 5, 12), 1).first();
        QCOMPARE(rig.window->lunation().newMoon, library.newMoon);
        const Evening &shown = rig.window->lunation().evenings[row];
        const Evening &computed = library.evenings[row];
        QCOMPARE(shown.sighting.bestTime, computed.sighting.bestTime);
        QCOMPARE(shown.sighting.q, computed.sighting.q);
        QCOMPARE(shown.moonAtBestTime.has_value(), computed.moonAtBestTime.has_value());
        for (int column = 0; column < cells.size(); ++column) {
            QCOMPARE(rig.cell(rig.evening(row), column), cells[column]);
        }
        // The class's letter in the cell, its meaning for the tooltip and the ear.
        const QTableWidgetItem *yallopCell =
            rig.window->eveningsTable()->item(rig.evening(row), EveningsTable::Yallop);
        QCOMPARE(yallopCell->text(), yallop.left(1));
        QCOMPARE(yallopCell->toolTip(), yallop);
        QCOMPARE(yallopCell->data(Qt::AccessibleTextRole).toString(), yallop);
    }

    // Each number under its own heading, whatever the columns' order; where
    // the cell is too narrow for the whole of it, the tooltip and the screen
    // reader say the whole.
    void cellsUnderTheirHeadings_data() {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("said");       // a part of the tooltip; empty: none asked
        QTest::addColumn<QByteArray>("skyline"); // the place's horizont.txt; empty: none
        QTest::newRow("the Moon at sunset") << "Hold napnyugtakor / napkeltekor"
                                            << "2026. 12. 10."
                                            << "4,5°, 219,3°" << QString() << QByteArray();
        QTest::newRow("the Moon at the best time") << "Hold a legjobb időpontban"
                                                   << "2026. 12. 10."
                                                   << "2,4°, 223,1°" << QString() << QByteArray();
        QTest::newRow("Yallop's q") << "q"
                                    << "2026. 12. 10."
                                    << "-0,095" << QString() << QByteArray();
        QTest::newRow("Odeh's V") << "V"
                                  << "2026. 12. 10."
                                  << "2,69" << QString() << QByteArray();
        // The Sun 20 minutes after sunset, then an hour, then past 12° down.
        QTest::newRow("civil twilight")
            << "Nap, szürkület"
            << "2026. 12. 10."
            << "-3,7° polgári" << TwilightName(Twilight::Civil) << QByteArray();
        QTest::newRow("nautical twilight")
            << "Nap, szürkület"
            << "2026. 12. 11."
            << "-7,9° nautikai" << TwilightName(Twilight::Nautical) << QByteArray();
        QTest::newRow("astronomical twilight, its long word cut")
            << "Nap, szürkület"
            << "2026. 12. 12."
            << "-12,5° csill." << TwilightName(Twilight::Astronomical) << QByteArray();
        QTest::newRow("a morning's twilight before sunrise")
            << "Nap, szürkület"
            << "2026. 12. 06. reggel"
            << "-10,5° nautikai" << TwilightName(Twilight::Nautical) << QByteArray();
        QTest::newRow("the new moon's evening: no crescent, no twilight")
            << "Nap, szürkület"
            << "2026. 12. 09. este" << QString() << QString() << QByteArray();
        // Budapest with a 4° hill in the south-west, where December's Moon sets.
        const QByteArray hill = "210 0\n220 4\n230 4\n240 0\n";
        QTest::newRow("behind the hill at the best time, and since when")
            << "Helyi horizont"
            << "2026. 12. 10."
            << "mögött 15:57" << SkylineCrossingText(QStringLiteral("15:57")) << hill;
        QTest::newRow("above it at the best time, and when it sinks behind")
            << "Helyi horizont"
            << "2026. 12. 11."
            << "fölött 17:03" << SkylineCrossingText(QStringLiteral("17:03")) << hill;
        QTest::newRow("a morning: when it rises above")
            << "Helyi horizont"
            << "2026. 12. 07. reggel"
            << "fölött 6:03" << SkylineCrossingText(QStringLiteral("6:03"), Direction::Morning)
            << hill;
        QTest::newRow("a wall all round hides it all the while")
            << "Helyi horizont"
            << "2026. 12. 10."
            << "mögött" << SkylineHidesMoonText() << QByteArray("200 10\n240 10\n");
    }
    void cellsUnderTheirHeadings() {
        QFETCH(QString, heading);
        QFETCH(QString, date);
        QFETCH(QString, text);
        QFETCH(QString, said);
        QFETCH(QByteArray, skyline);
        Rig rig(Utc(2026, 12, 5, 12), {}, skyline);
        const int column = rig.column(heading);
        QVERIFY2(column >= 0, qPrintable(heading));
        const int row = rig.row(date);
        QCOMPARE(rig.cell(row, column), text);
        if (!said.isEmpty()) {
            const QTableWidgetItem *cell = rig.window->eveningsTable()->item(row, column);
            QVERIFY2(cell->toolTip().contains(said), qPrintable(cell->toolTip()));
            QCOMPARE(cell->data(Qt::AccessibleTextRole).toString(), cell->toolTip());
        }
    }

    // Each class on the colour the map gives it: Yallop's by his class, Odeh's
    // by his zone. Budapest's two evenings tell the two apart whichever
    // colours a mix-up would take (C and B, then B and B).
    void classesInTheMapsColours_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("date");
        QTest::addColumn<Criterion>("criterion");
        QTest::newRow("2026-12-10, Yallop C")
            << Utc(2026, 12, 5, 12) << "2026. 12. 10." << Criterion::Yallop;
        QTest::newRow("2026-12-10, Odeh B")
            << Utc(2026, 12, 5, 12) << "2026. 12. 10." << Criterion::Odeh;
        QTest::newRow("2027-02-07, Yallop B")
            << Utc(2027, 2, 5, 12) << "2027. 02. 07." << Criterion::Yallop;
        QTest::newRow("2027-02-07, Odeh B")
            << Utc(2027, 2, 5, 12) << "2027. 02. 07." << Criterion::Odeh;
        // Not to be seen: a colour of its own all the same, never the blank table.
        QTest::newRow("2027-01-08, Yallop F")
            << Utc(2027, 1, 5, 12) << "2027. 01. 08." << Criterion::Yallop;
        QTest::newRow("2027-01-08, Odeh D")
            << Utc(2027, 1, 5, 12) << "2027. 01. 08." << Criterion::Odeh;
    }
    void classesInTheMapsColours() {
        QFETCH(QDateTime, now);
        QFETCH(QString, date);
        QFETCH(Criterion, criterion);
        Rig rig(now);
        const int column =
            rig.column(criterion == Criterion::Yallop ? QStringLiteral("Yallop") : "Odeh");
        const int row = rig.row(date);
        QVERIFY(column >= 0 && row >= 0);
        const QTableWidgetItem *cell = rig.window->eveningsTable()->item(row, column);
        const int letter = cell->text().at(0).unicode() - u'A';
        // The map's shades are laid over the Earth; the table's over white.
        const QColor shown = cell->background().color();
        const auto distance = [&](const QColor &shade) {
            const double a = shade.alphaF();
            const double dr = a * shade.red() + (1 - a) * 255 - shown.red();
            const double dg = a * shade.green() + (1 - a) * 255 - shown.green();
            const double db = a * shade.blue() + (1 - a) * 255 - shown.blue();
            return dr * dr + dg * dg + db * db;
        };
        const QList<Shade> legend = Legend(criterion);
        QVERIFY2(distance(legend[letter].colour) < 12, qPrintable(shown.name()));
        QVERIFY(shown != QColor(Qt::white) && legend[letter].colour.alpha() > 0);
        for (const Shade &other : Legend(Criterion::Yallop) + Legend(Criterion::Odeh)) {
            QVERIFY(other.colour == legend[letter].colour || distance(other.colour) >= 12);
        }
    }

    // The lunation of the main window's new moon, the computed one nearest to
    // it; without one, the latest whose evenings have not all passed. Today's
    // morning or evening is marked and chosen when it has a crescent, else
    // the first evening that optical aid shows.
    void firstLunation_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("newMoon"); // its UTC date
        QTest::addColumn<int>("today");     // the marked evening, or -1
        QTest::addColumn<int>("selected");  // the evening chosen, or -1
        QTest::addColumn<int>("todayMorning");
        QTest::addColumn<int>("selectedMorning");
        QTest::newRow("the field's new moon") << "2026-11-20 06:47" << Utc(2026, 12, 11, 17)
                                              << QDate(2026, 11, 9) << -1 << 2 << -1 << -1;
        QTest::newRow("nearer the next")
            << "2026-12-01" << Utc(2026, 11, 23, 17) << QDate(2026, 12, 9) << -1 << 1 << -1 << -1;
        QTest::newRow("not a time: the coming one")
            << "holnap" << Utc(2026, 12, 5, 12) << QDate(2026, 12, 9) << -1 << 1 << -1 << -1;
        QTest::newRow("tonight's evening")
            << "" << Utc(2026, 12, 11, 17) << QDate(2026, 12, 9) << 2 << 2 << -1 << -1;
        QTest::newRow("today's, without a crescent")
            << "" << Utc(2026, 12, 9, 10) << QDate(2026, 12, 9) << 0 << 1 << 3 << -1;
        QTest::newRow("its last evening, today")
            << "" << Utc(2026, 12, 12, 12) << QDate(2026, 12, 9) << 3 << 3 << -1 << -1;
        QTest::newRow("its last evening passed")
            << "" << Utc(2026, 12, 13, 9) << QDate(2027, 1, 7) << -1 << 2 << -1 << -1;
        QTest::newRow("this morning's old crescent, before sunrise")
            << "" << Utc(2026, 12, 7, 5) << QDate(2026, 12, 9) << -1 << -1 << 1 << 1;
        QTest::newRow("this morning's, after sunrise")
            << "" << Utc(2026, 12, 7, 12) << QDate(2026, 12, 9) << -1 << -1 << 1 << 1;
        QTest::newRow("today's morning without a crescent")
            << "" << Utc(2026, 12, 9, 5) << QDate(2026, 12, 9) << 0 << 1 << 3 << -1;
    }
    void firstLunation() {
        QFETCH(QString, field);
        QFETCH(QDateTime, now);
        QFETCH(QDate, newMoon);
        QFETCH(int, today);
        QFETCH(int, selected);
        QFETCH(int, todayMorning);
        QFETCH(int, selectedMorning);
        Rig rig(now, field);
        QVERIFY(rig.window);
        QCOMPARE(rig.window->lunation().newMoon.date(), newMoon);
        QList<int> marked;
        for (const int row : {rig.morning(todayMorning), rig.evening(today)}) {
            if (row >= 0) {
                marked << row;
            }
        }
        QCOMPARE(rig.window->eveningsTable()->todayRows(), marked);
        QCOMPARE(rig.window->selectedEvening(), selected);
        const Evening *chosen = rig.window->selectedDay();
        QVERIFY(chosen);
        QCOMPARE(chosen->isMorning(), selectedMorning >= 0);
        if (selectedMorning >= 0) {
            QCOMPARE(chosen->date, rig.window->lunation().mornings[selectedMorning].date);
        }
        for (int row = 0; row < rig.window->eveningsTable()->rowCount(); ++row) {
            QCOMPARE(rig.cell(row, EveningsTable::Date).endsWith(u" (ma)"), marked.contains(row));
        }
    }

    // A lunation's mornings, its new moon and its evenings, in time order,
    // each row saying which part of the day it is, and each row the one the
    // table's mapping gives for the lunation's morning or evening.
    void rowsInTimeOrder_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QDate>("newMoon"); // its UTC date
        QTest::newRow("December 2026") << "2026-12-09" << QDate(2026, 12, 9);
        QTest::newRow("March 2027") << "2027-03-08" << QDate(2027, 3, 8);
        QTest::newRow("June 2027") << "2027-06-05" << QDate(2027, 6, 4);
    }
    void rowsInTimeOrder() {
        QFETCH(QString, field);
        QFETCH(QDate, newMoon);
        Rig rig(Utc(2026, 12, 1, 12), field);
        QVERIFY(rig.window);
        const Lunation &lunation = rig.window->lunation();
        QCOMPARE(lunation.newMoon.date(), newMoon);
        const EveningsTable *table = rig.window->eveningsTable();
        QCOMPARE(table->rowCount(), lunation.mornings.size() + 1 + lunation.evenings.size());
        QVERIFY(!lunation.mornings.isEmpty() && !lunation.evenings.isEmpty());
        QVERIFY(table->dayAt(table->newMoonRow()) == nullptr);
        QVERIFY(rig.cell(table->newMoonRow(), EveningsTable::Date).startsWith(u"Újhold: "));
        const auto check = [&](Direction direction, const QList<Evening> &days) {
            for (int i = 0; i < days.size(); ++i) {
                const int row = table->rowOf(direction, i);
                QCOMPARE(row < table->newMoonRow(), direction == Direction::Morning);
                const Evening *shown = table->dayAt(row);
                QVERIFY(shown);
                QCOMPARE(shown->date, days[i].date);
                QCOMPARE(shown->direction, direction);
                const QString date =
                    rig.cell(row, EveningsTable::Date).remove(QStringLiteral(" (ma)"));
                QVERIFY2(date.endsWith(direction == Direction::Morning ? u" reggel" : u" este"),
                         qPrintable(date));
            }
            QCOMPARE(table->rowOf(direction, int(days.size())), -1);
        };
        check(Direction::Morning, lunation.mornings);
        check(Direction::Evening, lunation.evenings);
        // Earlier rows, earlier suns; the best time of a morning before the
        // new moon, of an evening after it.
        double previous = 0;
        for (int row = 0; row < table->rowCount(); ++row) {
            const Evening *day = table->dayAt(row);
            if (day == nullptr || !day->sighting.sunEvent) {
                continue;
            }
            QVERIFY2(*day->sighting.sunEvent > previous, qPrintable(QString::number(row)));
            previous = *day->sighting.sunEvent;
            if (day->sighting.status == CrescentStatus::Computed) {
                QCOMPARE(MinuteOf(*day->sighting.bestTime) < lunation.newMoon,
                         row < table->newMoonRow());
            }
        }
    }

    // Choosing a morning shows the old crescent's sky: the drawing faces
    // east at its best time, the map is that of the morning; an evening
    // turns both back.
    void morningRowsShowTheMorning_data() {
        QTest::addColumn<bool>("morning");
        QTest::addColumn<int>("index");
        QTest::newRow("the morning of 2026-12-07") << true << 1;
        QTest::newRow("the evening of 2026-12-11") << false << 2;
    }
    void morningRowsShowTheMorning() {
        QFETCH(bool, morning);
        QFETCH(int, index);
        Rig rig(Utc(2026, 12, 5, 12));
        const Lunation &lunation = rig.window->lunation();
        const Evening &day = morning ? lunation.mornings[index] : lunation.evenings[index];
        QVERIFY(day.sighting.bestTime);
        // Away from it first, so that the choice shows something anew.
        rig.window->selectDay(morning ? Direction::Evening : Direction::Morning, index);
        QTest::mouseClick(
            rig.window->eveningsTable()->viewport(), Qt::LeftButton, {},
            rig.window->eveningsTable()
                ->visualItemRect(rig.window->eveningsTable()->item(
                    morning ? rig.morning(index) : rig.evening(index), EveningsTable::Sunset))
                .center());
        const Evening *chosen = rig.window->selectedDay();
        QVERIFY(chosen);
        QCOMPARE(chosen->date, day.date);
        QCOMPARE(chosen->isMorning(), morning);
        const std::optional<SkyView> &view = rig.window->skyPanel()->view();
        QVERIFY(view);
        QCOMPARE(view->centreAzimuth, morning ? 90.0 : 270.0);
        QCOMPARE(view->moment.jdUt, *day.sighting.bestTime);
        QCOMPARE(view->moment.moon.azimuth < 180, morning);
        // The slider runs from the Moon's rising to sunrise in the morning.
        const QSlider *slider = rig.window->skyPanel()->momentSlider();
        QCOMPARE(
            slider->maximum(),
            int(std::floor(std::abs(*day.sighting.sunEvent - *day.sighting.moonEvent) * 1440)));
        QSignalSpy drawn(rig.window->mapPanel(), &MapPanel::drawn);
        rig.window->views()->setCurrentIndex(1);
        QVERIFY(drawn.wait(60000));
        QVERIFY(rig.control("worldMap")
                    ->accessibleDescription()
                    .startsWith(MapTitle(day.date, day.direction)));
        QVERIFY(MapTitle(day.date, Direction::Morning) != MapTitle(day.date, Direction::Evening));
    }

    // The forecast keeps to the years 1000 to 3000: a field's new moon
    // outside them opens the nearest lunation within them, with a note, and
    // the paging buttons stop at the ends.
    void keepsToTheForecastYears_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("year"); // of the new moon shown, in UTC
        QTest::addColumn<bool>("noted");
        QTest::addColumn<bool>("previous"); // the buttons enabled
        QTest::addColumn<bool>("next");
        QTest::newRow("the last minute of 9999")
            << "9999-12-31 23:59" << 3000 << true << true << false;
        QTest::newRow("the year 100") << "0100-01-01 00:00" << 1000 << true << false << true;
        QTest::newRow("the year 999") << "0999-12-20 12:00" << 1000 << true << false << true;
        QTest::newRow("the year 1500") << "1500-06-01 12:00" << 1500 << false << true << true;
    }
    void keepsToTheForecastYears() {
        QFETCH(QString, field);
        QFETCH(int, year);
        QFETCH(bool, noted);
        QFETCH(bool, previous);
        QFETCH(bool, next);
        Rig rig(Utc(2026, 12, 11, 17), field);
        QVERIFY(rig.window);
        QCOMPARE(rig.window->lunation().newMoon.date().year(), year);
        QCOMPARE(rig.control("yearNote")->isVisible(), noted);
        QCOMPARE(rig.control("previousLunation")->isEnabled(), previous);
        QCOMPARE(rig.control("nextLunation")->isEnabled(), next);
        // Past the end by the library's own paging, too: the window stays
        // at the end, and its evenings keep a four-digit year.
        if (!noted) {
            return;
        }
        const int shown = rig.window->lunationNumber();
        rig.window->showLunation(next ? shown - 5000 : shown + 5000);
        QCOMPARE(rig.window->lunationNumber(), shown);
        QVERIFY2(!rig.cell(rig.evening(3), EveningsTable::Date).startsWith(u"10000"),
                 qPrintable(rig.cell(rig.evening(3), EveningsTable::Date)));
    }

    // A name of 100,000 letters in hely.txt is cut on reading and elided in
    // the window: it widens the window by no more than a short name's room.
    void hugeNameKeepsTheWindowNarrow() {
        FakeClock clock;
        clock.at = Utc(2026, 12, 11, 17);
        const auto widthWith = [&](const QByteArray &name, QString *kept) {
            AppDir dir;
            dir.write("hely.txt", name + ";46.25;20.14;75\r\n");
            CrescentWindow window(dir.portable(), &clock, QString());
            *kept = window.place().name;
            return window.minimumSizeHint().width();
        };
        QString shortName;
        QString hugeName;
        const int narrow = widthWith("Szeged", &shortName);
        const int wide = widthWith(QByteArray(100000, 'W'), &hugeName);
        QCOMPARE(shortName, QStringLiteral("Szeged"));
        QVERIFY2(hugeName.size() <= 200 && hugeName.startsWith(u"WWWW"),
                 qPrintable(QString::number(hugeName.size())));
        QVERIFY2(wide - narrow <= 300, qPrintable(QStringLiteral("%1 %2").arg(narrow).arg(wide)));
    }

    // The Moon at the pixel of its altitude and azimuth, its lit side towards
    // the Sun as the picture shows the Sun, in either hemisphere; the
    // evening's crescent in the west, the morning's in the east.
    void moonWhereTheSkyHasIt_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("evening");
        QTest::addColumn<bool>("morning");
        QTest::newRow("Budapest, 2026-12-11") << "Budapest" << QDate(2026, 12, 1) << 2 << false;
        QTest::newRow("Fokváros, 2026-12-11") << "Fokváros" << QDate(2026, 12, 1) << 2 << false;
        QTest::newRow("Santiago, 2027-06-07") << "Santiago" << QDate(2027, 6, 1) << 3 << false;
        QTest::newRow("Budapest, morning of 2026-12-07")
            << "Budapest" << QDate(2026, 12, 1) << 1 << true;
        QTest::newRow("Fokváros, morning of 2026-12-07")
            << "Fokváros" << QDate(2026, 12, 1) << 1 << true;
        QTest::newRow("Santiago, morning of 2027-06-03")
            << "Santiago" << QDate(2027, 6, 1) << 0 << true;
    }
    void moonWhereTheSkyHasIt() {
        QFETCH(QString, place);
        QFETCH(QDate, from);
        QFETCH(int, evening);
        QFETCH(bool, morning);
        const Place where = FindPlace(place)->place;
        const Evening e =
            morning ? ComputeLunations(where, QDateTime(from, QTime(0, 0), QTimeZone::utc()), 1)
                          .first()
                          .mornings[evening]
                    : EveningAt(where, from, evening);
        QVERIFY(e.sighting.bestTime);
        SkyView view = morning ? MorningSkyView(place, where, *e.sighting.sunEvent,
                                                *e.sighting.moonEvent, Zone, QLocale())
                               : EveningSkyView(place, where, *e.sighting.sunEvent,
                                                *e.sighting.moonEvent, Zone, QLocale());
        // The path from the Moon's setting (rising) to the Sun's, or back.
        QVERIFY(view.path.size() > 2);
        const Horizontal onTheHorizon = morning ? view.path.constFirst() : view.path.constLast();
        QVERIFY2(std::abs(onTheHorizon.altitude) < 1,
                 qPrintable(QString::number(onTheHorizon.altitude)));
        SetSkyMoment(view, *e.sighting.bestTime, Zone, QLocale());
        const QSize size(900, 360);
        const QImage picture = RenderSkyChart(view, size);
        const SkyProjection projection = SkyProjectionFor(view, size);
        const QPointF moon = projection.pointOf(view.moment.moon);
        QVERIFY(projection.area().contains(moon));
        const QPointF sun = projection.pointOf(view.moment.sun);
        const QPointF towardsSun =
            (sun - moon) / std::hypot(sun.x() - moon.x(), sun.y() - moon.y());
        const double inside = DrawnMoonRadius - 1.2;
        QVERIFY(Lightness(picture, moon + towardsSun * inside) > 200);
        QVERIFY(Lightness(picture, moon - towardsSun * inside) < 130);
        // The crescent stands in the west (east), the Sun below the horizon;
        // facing east, the north is on the left.
        QCOMPARE(view.moment.moon.azimuth > 180, !morning);
        QVERIFY(sun.y() > projection.horizonY());
        QCOMPARE(view.centreAzimuth, morning ? 90.0 : 270.0);
        QVERIFY(projection.pointOf({0, view.centreAzimuth - 30}).x() <
                projection.pointOf({0, view.centreAzimuth + 30}).x());
        // The caption says where the Moon is drawn.
        static const QRegularExpression said(
            QStringLiteral("a Hold (\\S+)° magasan, (\\S+)° azimutnál"));
        const QRegularExpressionMatch caption = said.match(view.caption);
        QVERIFY2(caption.hasMatch(), qPrintable(view.caption));
        QVERIFY2(std::abs(QLocale().toDouble(caption.captured(1)) - view.moment.moon.altitude) <
                         0.051 &&
                     std::abs(QLocale().toDouble(caption.captured(2)) - view.moment.moon.azimuth) <
                         0.051,
                 qPrintable(view.caption));
    }

    // With Budapest's 4° hill in the south-west, the drawing shows the
    // skyline and its caption (as a screen reader hears it) says where the
    // Moon stands against it at the best time, and when it goes behind it
    // (comes out, in the morning), with the twilight at the moment.
    void drawingSaysTheSkyline_data() {
        QTest::addColumn<bool>("morning");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("above");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<Twilight>("twilight");
        QTest::newRow("2026-12-10, behind it already")
            << false << 1 << false << "15:57" << Twilight::Civil;
        QTest::newRow("2026-12-11, above it until 17:03")
            << false << 2 << true << "17:03" << Twilight::Nautical;
        QTest::newRow("the morning of 2026-12-07, rising above it")
            << true << 1 << true << "6:03" << Twilight::Civil;
    }
    void drawingSaysTheSkyline() {
        QFETCH(bool, morning);
        QFETCH(int, index);
        QFETCH(bool, above);
        QFETCH(QString, clock);
        QFETCH(Twilight, twilight);
        Rig rig(Utc(2026, 12, 5, 12), {}, "210 0\n220 4\n230 4\n240 0\n");
        const Direction direction = morning ? Direction::Morning : Direction::Evening;
        rig.window->selectDay(direction, index);
        const std::optional<SkyView> &view = rig.window->skyPanel()->view();
        QVERIFY(view && !view->skyline.isFlat());
        const QString said = rig.control(QStringLiteral("skyChart"))->accessibleDescription();
        QVERIFY2(said.contains(SkylineAtBestTimeText(above)) &&
                     said.contains(SkylineCrossingText(clock, direction)) &&
                     said.contains(TwilightName(twilight)),
                 qPrintable(said));
    }

    // An evening whose Moon does not set, at Tromsø in spring: the row says
    // so and gives the Moon's place at sunset all the same; the drawing shows
    // it from there, the slider over the hours after sunset.
    void moonThatDoesNotSetHasItsPlace() {
        const Place tromso = FindPlace(u"Tromsø")->place;
        const QTimeZone oslo("Europe/Oslo");
        const Lunation lunation = ComputeLunations(
            tromso, QDateTime(QDate(2027, 4, 1), QTime(0, 0), QTimeZone::utc()), 1)[0];
        const auto unset =
            std::find_if(lunation.evenings.begin(), lunation.evenings.end(), [](const Evening &e) {
                return e.sighting.status == CrescentStatus::MoonStaysUp;
            });
        QVERIFY(unset != lunation.evenings.end());
        EveningsTable table;
        table.showLunation(lunation, {tromso, oslo, QLocale(), QDate(), false});
        const int row = table.rowOf(Direction::Evening, int(unset - lunation.evenings.begin()));
        const QString place = table.item(row, EveningsTable::MoonAtSunset)->text();
        QVERIFY2(place.count(u'°') == 2, qPrintable(place));
        QVERIFY(table.item(row, EveningsTable::MoonAtBestTime)->text() ==
                CrescentStatusText(CrescentStatus::MoonStaysUp));
        SkyPanel panel;
        panel.showEvening(QStringLiteral("Tromsø"), tromso, *unset, oslo, QLocale());
        QVERIFY(panel.view() && !panel.view()->path.isEmpty());
        QCOMPARE(panel.view()->moment.jdUt, *unset->sighting.sunEvent);
        QCOMPARE(panel.momentSlider()->maximum(), 180);
        QCOMPARE(panel.momentSlider()->value(), 0);
        QVERIFY2(!panel.momentSlider()->accessibleName().contains(u"holdnyugta"),
                 qPrintable(panel.momentSlider()->accessibleName()));
    }

    // The observer's place on the map, marked where its latitude and
    // longitude fall, and nothing else of the map changed.
    void mapMarksThePlace() {
        const VisibilityMap cells = ComputeVisibilityMap(QDate(2026, 12, 10), 10);
        const QImage plain = RenderVisibilityMap(cells, Criterion::Yallop, {}, 720);
        const QImage marked =
            RenderVisibilityMap(cells, Criterion::Yallop, {}, 720, MapMark{"Szeged", 46.25, 20.14});
        QCOMPARE(marked.size(), plain.size());
        const QPoint at = PixelOf(46.25, 20.14, 720);
        QRect changed;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (plain.pixel(x, y) != marked.pixel(x, y)) {
                    changed |= QRect(x, y, 1, 1);
                }
            }
        }
        QVERIFY(changed.contains(at));
        // A ring around the place and the name beside it, to its right.
        QVERIFY(changed.left() >= at.x() - 12 && changed.top() >= at.y() - 12);
        QVERIFY(changed.bottom() <= at.y() + 12 && changed.right() < at.x() + 120);
    }

    // The place's name stays on the map wherever the place is: at either edge
    // of the world map or of a region, measured on the label's rectangle.
    void markLabelStaysOnTheMap_data() {
        QTest::addColumn<MapRegion>("region");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<int>("width");
        const MapRegion world, hungary{40, 10, 52, 30};
        QTest::newRow("Suva, world") << world << -18.14 << 178.44 << 720;
        QTest::newRow("Suva, world, wide") << world << -18.14 << 178.44 << 1440;
        QTest::newRow("Apia, world") << world << -13.83 << -171.77 << 720;
        QTest::newRow("near the north pole") << world << 89.9 << 100.0 << 720;
        QTest::newRow("near the south pole") << world << -89.9 << -179.9 << 720;
        QTest::newRow("region's eastern edge") << hungary << 45.0 << 29.95 << 720;
        QTest::newRow("region's western edge") << hungary << 45.0 << 10.02 << 720;
        QTest::newRow("region's north-east corner") << hungary << 51.99 << 29.99 << 1440;
        QTest::newRow("region's southern edge") << hungary << 40.01 << 20.0 << 720;
        QTest::newRow("Suva in its own region")
            << RegionAround(-18.14, 178.44) << -18.14 << 178.44 << 720;
        QTest::newRow("east of 180° in a region across it")
            << MapRegion{-30, 160, -5, 190} << -14.0 << -170.5 << 720;
    }
    void markLabelStaysOnTheMap() {
        QFETCH(MapRegion, region);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(int, width);
        const MapMark mark{QStringLiteral("Nuku’alofa-Suva"), latitude, longitude};
        const MapFrame frame(region, width);
        const QRectF label = MarkLabelRect(region, width, mark);
        QVERIFY(!label.isEmpty());
        QVERIFY2(QRectF(frame.area()).contains(label), qPrintable(QStringLiteral("%1,%2 %3×%4")
                                                                      .arg(label.x())
                                                                      .arg(label.y())
                                                                      .arg(label.width())
                                                                      .arg(label.height())));
        // Beside the ring, not over the place itself.
        const QPointF at = frame.pointOf(latitude, longitude);
        QVERIFY(!label.contains(at));
        QVERIFY(std::abs(label.center().y() - at.y()) < label.height());
        QVERIFY(std::min(std::abs(label.left() - at.x()), std::abs(label.right() - at.x())) < 30);
    }

    // The map zoomed to the place's region (the place at its middle) or to
    // Europe, with the coastlines read; back on the world, the world map as
    // it was.
    void mapZooms_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("centred");
        QTest::newRow("around the place") << 1 << true;
        QTest::newRow("Europe") << 2 << false;
    }
    void mapZooms() {
        QFETCH(int, view);
        QFETCH(bool, centred);
        Rig rig(Utc(2026, 12, 11, 17));
        MapPanel *panel = rig.window->mapPanel();
        QSignalSpy drawn(panel, &MapPanel::drawn);
        rig.window->views()->setCurrentIndex(1);
        QVERIFY(drawn.wait(60000));
        const QImage world = panel->picture();
        panel->viewBox()->setCurrentIndex(view);
        QVERIFY(drawn.wait(60000));
        const QImage zoomed = panel->picture();
        QVERIFY(zoomed.size() != world.size());
        QCOMPARE(rig.window->findChild<QLabel *>("mapStatus")->text(), QString());
        if (centred) {
            const Place &place = rig.window->place().place;
            const QRect area =
                MapFrame(RegionAround(place.latitude, place.longitude), zoomed.width()).area();
            const QColor middle = zoomed.pixelColor(area.center() + QPoint(1, 1));
            QVERIFY2(middle.red() > 150 && middle.green() < 150 && middle.blue() > 120,
                     qPrintable(middle.name()));
        }
        panel->viewBox()->setCurrentIndex(0);
        QVERIFY(drawn.wait(60000));
        QCOMPARE(panel->picture(), world);
    }

    // Every control in turn by Tab, each showing that it has the focus; the
    // map's saving once the map is there.
    void everyControlByTab_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("order");
        const QStringList before{"placeButton", "previousLunation", "nextLunation", "eveningsTable",
                                 "qt_tabwidget_tabbar"};
        QTest::newRow("where to look")
            << 0
            << before + QStringList{"momentSlider",       "bestTimeButton", "saveEveningsButton",
                                    "saveCalendarButton", "saveSkyButton",  "logSightingButton",
                                    "closeButton",        "placeButton"};
        QTest::newRow("map") << 1
                             << before + QStringList{"criterionBox",       "viewBox",
                                                     "saveEveningsButton", "saveCalendarButton",
                                                     "saveSkyButton",      "saveMapButton",
                                                     "logSightingButton",  "closeButton",
                                                     "placeButton"};
    }
    void everyControlByTab() {
        QFETCH(int, view);
        QFETCH(QStringList, order);
        Rig rig(Utc(2026, 12, 11, 17));
        QVERIFY(QTest::qWaitForWindowActive(rig.window));
        QSignalSpy drawn(rig.window->mapPanel(), &MapPanel::drawn);
        rig.window->views()->setCurrentIndex(view);
        if (view == 1) {
            QVERIFY(drawn.wait(60000));
        }
        rig.control("placeButton")->setFocus();
        QStringList visited;
        for (qsizetype i = 0; i < order.size(); ++i) {
            QWidget *focused = QApplication::focusWidget();
            QVERIFY(focused);
            visited << focused->objectName();
            const QRect box(focused->mapTo(rig.window, QPoint()), focused->size());
            const QImage shown = rig.window->grab(box).toImage();
            rig.window->setFocus(); // the focus nowhere near
            QVERIFY2(rig.window->grab(box).toImage() != shown, qPrintable(visited.last()));
            focused->setFocus(Qt::TabFocusReason);
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(visited, order);
    }

    // Its own colours whatever the desktop's theme: black on white in the
    // table, black on the window's light cyan around it.
    void readableInADarkTheme() {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        Rig rig(Utc(2026, 12, 5, 12));
        EveningsTable *table = rig.window->eveningsTable();
        const QRect cell = table->visualItemRect(table->item(rig.evening(0), EveningsTable::Sunset))
                               .translated(table->viewport()->mapTo(rig.window, QPoint()));
        const QImage shown = rig.window->grab().toImage();
        QVERIFY(DrawnIn(shown, cell, Qt::black, Qt::white));
        QWidget *place = rig.control("placeText");
        QVERIFY(DrawnIn(shown, QRect(place->mapTo(rig.window, QPoint()), place->size()), Qt::black,
                        look::LightCyan));
    }

    // A screen reader reads each evening by its column's heading, the
    // classes with their meanings and the marks in words.
    void screenReaderReadsTheEvenings() {
        Rig rig(Utc(2026, 12, 5, 12));
        QAccessibleInterface *table =
            QAccessible::queryAccessibleInterface(rig.window->eveningsTable());
        QCOMPARE(table->text(QAccessible::Name), "Esték");
        QAccessibleTableInterface *cells = table->tableInterface();
        QVERIFY(cells);
        QCOMPARE(cells->rowCount(), MorningsPerLunation + 1 + EveningsPerLunation);
        const auto read = [&](int row, int column) {
            QAccessibleInterface *cell = cells->cellAt(row, column);
            // Qt makes the heading's interface afresh for each asker, who owns it.
            const QList<QAccessibleInterface *> headings =
                cell->tableCellInterface()->columnHeaderCells();
            const QString said = headings.first()->text(QAccessible::Name) + QStringLiteral(": ") +
                                 cell->text(QAccessible::Name);
            for (QAccessibleInterface *heading : headings) {
                QAccessible::deleteAccessibleInterface(
                    QAccessible::registerAccessibleInterface(heading));
            }
            return said;
        };
        QCOMPARE(read(rig.evening(1), EveningsTable::BestTime), "Legjobb\nidőpont: 16:13");
        QCOMPARE(read(rig.evening(2), EveningsTable::Yallop),
                 "Yallop: A – szabad szemmel könnyen látható");
        QCOMPARE(read(rig.evening(1), EveningsTable::Marks), "Jel: első este optikai eszközzel");
        QCOMPARE(read(rig.evening(0), EveningsTable::Age),
                 "Kor: A Hold a Nap előtt nyugszik le: nem látható.");
    }

    // The evenings in either CSV form and the drawing as a picture, saved
    // where the user said; a file that cannot be saved reported as every
    // other is, and nothing left behind.
    void exports_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("skyline"); // the place's horizont.txt; empty: none
        QTest::newRow("evenings") << "csv"
                                  << "" << QByteArray();
        QTest::newRow("evenings for spreadsheets") << "csv-hu"
                                                   << "" << QByteArray();
        QTest::newRow("evenings against the place's skyline")
            << "csv"
            << "" << QByteArray("210 0\n220 4\n230 4\n240 0\n");
        QTest::newRow("calendar") << "ics"
                                  << "" << QByteArray();
        QTest::newRow("drawing") << "png"
                                 << "" << QByteArray();
        QTest::newRow("no such folder") << "png"
                                        << "nincs" << QByteArray();
    }
    void exports() {
        QFETCH(QString, what);
        QFETCH(QString, folder);
        QFETCH(QByteArray, skyline);
        Rig rig(Utc(2026, 12, 11, 17), {}, skyline);
        const QString path =
            rig.dir.path() + u'/' + folder + QStringLiteral("/esték.") + what.left(3);
        const CsvForm form = what == u"csv-hu" ? CsvForm::Hungarian : CsvForm::Plain;
        const QImage sky = rig.window->skyPanel()->picture(QSize(600, 300));
        MessageBoxes watcher;
        const bool saved = what == u"png"   ? rig.window->savePicture(path, sky)
                           : what == u"ics" ? rig.window->saveCalendar(path)
                                            : rig.window->saveEvenings(path, form);
        QCOMPARE(saved, folder.isEmpty());
        if (!saved) {
            QTRY_COMPARE(watcher.count(), 1);
            QCOMPARE(watcher.log(),
                     QStringList{"critical:A(z) '" + path + "' fájl nem menthető: a(z) '" +
                                 rig.dir.path() + "/nincs' mappa nem létezik."});
            QVERIFY(!QFileInfo::exists(path));
        } else if (what == u"png") {
            QCOMPARE(QImage(path).size(), QSize(600, 300));
        } else if (what == u"ics") {
            // An event for each morning and evening of the lunation that optical aid shows.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray calendar = file.readAll();
            qsizetype visible = 0;
            for (const Evening &e : MorningsAndEvenings(rig.window->lunation())) {
                visible += e.sighting.status == CrescentStatus::Computed &&
                           e.sighting.yallop <= YallopClass::D;
            }
            QVERIFY(visible > 0);
            QCOMPARE(calendar.count("BEGIN:VEVENT"), visible);
            QVERIFY(calendar.contains("LOCATION:Budapest\r\n"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            // The mornings before the new moon, too, as the command line's
            // --both has them; the Moon against the skyline where there is one.
            const QByteArray csv = file.readAll();
            QCOMPARE(csv, FormatEveningsCsv({rig.window->lunation()}, "Budapest",
                                            FindPlace(u"Budapest")->place, Zone, Zone, form,
                                            DayParts::Both,
                                            ReadHorizonList(QString::fromLatin1(skyline)).profile)
                              .toUtf8());
            QCOMPARE(csv.contains("hold_horizont_mogott"), !skyline.isEmpty());
        }
    }

    // "Esték mentése (CSV)…": the file type the user picks in the dialog
    // decides the form, the spreadsheets' with semicolons and decimal commas.
    void eveningsInTheFileTypeChosen_data() {
        QTest::addColumn<QString>("type"); // a word of the file type's description
        QTest::addColumn<bool>("hungarian");
        QTest::newRow("for Hungarian spreadsheets") << "pontosvessz" << true;
        QTest::newRow("plain") << "tizedesponttal" << false;
    }
    void eveningsInTheFileTypeChosen() {
        QFETCH(QString, type);
        QFETCH(bool, hungarian);
        Rig rig(Utc(2026, 12, 11, 17));
        const QString path = rig.dir.path() + QStringLiteral("/esték.csv");
        bool offered = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            for (const QString &filter : dialog->nameFilters()) {
                if (filter.contains(type)) {
                    dialog->selectNameFilter(filter);
                    offered = true;
                }
            }
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // as its Save button does
        });
        QTest::mouseClick(qobject_cast<QPushButton *>(rig.control("saveEveningsButton")),
                          Qt::LeftButton);
        QVERIFY(offered);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        QCOMPARE(saved.startsWith("\xEF\xBB\xBF"), hungarian);
        const QByteArray heading = saved.left(saved.indexOf('\n'));
        QCOMPARE(heading.contains(';'), hungarian);
        QCOMPARE(heading.contains(','), !hungarian);
    }

    // The save dialogs open in the folder of the last export, also after the
    // window (or Lunex) was closed; in the home folder before the first one,
    // and when that folder is gone.
    void exportsStartInTheLastFolder_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("folderRemoved");
        QTest::newRow("evenings") << "saveEveningsButton" << false;
        QTest::newRow("drawing") << "saveSkyButton" << false;
        QTest::newRow("folder removed since") << "saveSkyButton" << true;
    }
    void exportsStartInTheLastFolder() {
        QFETCH(QString, button);
        QFETCH(bool, folderRemoved);
        Rig rig(Utc(2026, 12, 11, 17));
        const QString folder = rig.dir.path() + QStringLiteral("/mentések");
        QVERIFY(QDir().mkpath(folder));
        // Answers the dialog with a file in `into`, having noted where it opened.
        int saves = 0;
        const auto save = [&](const QString &into) {
            QString openedIn;
            const QString name = QStringLiteral("/export%1.dat").arg(++saves);
            QTimer::singleShot(0, [&, name] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                openedIn = dialog->directory().absolutePath();
                dialog->selectFile(into + name);
                static_cast<QDialog *>(dialog)->accept();
            });
            QTest::mouseClick(qobject_cast<QPushButton *>(rig.control(button)), Qt::LeftButton);
            return openedIn;
        };
        QCOMPARE(save(folder), QDir::homePath());
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/export1.dat")));
        QCOMPARE(save(folder), folder);
        if (folderRemoved) {
            QVERIFY(QDir(folder).removeRecursively());
        }
        rig.window->close();
        QTRY_VERIFY(!rig.window);
        rig.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.main));
        QTest::keyClick(rig.main, Qt::Key_H, Qt::ControlModifier);
        rig.window = rig.main->crescentWindow();
        QVERIFY(rig.window);
        QCOMPARE(save(rig.dir.path()), folderRemoved ? QDir::homePath() : folder);
    }

    // A link planted in the settings' place (a shared portable Pic) is never
    // saved through: the file it leads to keeps its bytes, and nothing is
    // remembered.
    void settingsNeverWrittenThroughALink() {
        Rig rig(Utc(2026, 12, 11, 17));
        const QString victim = rig.dir.path() + QStringLiteral("/someone-elses.txt");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not Lunex's\n");
        file.close();
        QVERIFY(QFile::link(victim, rig.dir.pic(QStringLiteral("beallitasok.ini"))));
        const QString into = rig.dir.path() + QStringLiteral("/export.png");
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(into);
            static_cast<QDialog *>(dialog)->accept();
        });
        QTest::mouseClick(qobject_cast<QPushButton *>(rig.control(QStringLiteral("saveSkyButton"))),
                          Qt::LeftButton);
        QTRY_VERIFY(QFileInfo::exists(into));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not Lunex's\n"));
        QVERIFY(QFileInfo(rig.dir.pic(QStringLiteral("beallitasok.ini"))).isSymLink());
    }

    // Esc closes the window, as its "Bezárás" does.
    void escapeCloses() {
        Rig rig(Utc(2026, 12, 5, 12));
        QVERIFY(QTest::qWaitForWindowActive(rig.window));
        QTest::keyClick(rig.window->eveningsTable(), Qt::Key_Escape);
        QTRY_VERIFY(!rig.window);
    }

    // At 1024 × 600 every column is in view, without a scroll bar, and the
    // drawing keeps room below.
    void everyColumnOnASmallScreen_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QByteArray>("skyline"); // the place's horizont.txt; empty: none
        QTest::newRow("1024 × 600, evenings with a crescent")
            << QSize(1024, 600) << Utc(2026, 12, 11, 17) << QByteArray();
        QTest::newRow("1024 × 600, another lunation")
            << QSize(1024, 600) << Utc(2027, 6, 9, 12) << QByteArray();
        QTest::newRow("1024 × 600, the Moon against the place's skyline")
            << QSize(1024, 600) << Utc(2026, 12, 11, 17)
            << QByteArray("210 0\n220 4\n230 4\n240 0\n");
        QTest::newRow("1280 × 720") << QSize(1280, 720) << Utc(2026, 12, 11, 17) << QByteArray();
    }
    void everyColumnOnASmallScreen() {
        QFETCH(QSize, size);
        QFETCH(QDateTime, now);
        QFETCH(QByteArray, skyline);
        Rig rig(now, {}, skyline);
        rig.window->resize(size);
        QTRY_COMPARE(rig.window->size(), size);
        QApplication::processEvents();
        EveningsTable *table = rig.window->eveningsTable();
        QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2")
                                .arg(table->horizontalHeader()->length())
                                .arg(table->viewport()->width())));
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QCOMPARE(table->isColumnHidden(rig.column(QStringLiteral("Helyi horizont"))),
                 skyline.isEmpty());
        const QWidget *chart = rig.control(QStringLiteral("skyChart"));
        QVERIFY(chart->isVisible());
        QVERIFY(chart->height() >= 150);
        QVERIFY(rig.window->frameGeometry().height() <= size.height() + 40);
        // The chosen row stays in view when the window shrinks round it.
        const QRect chosen = table->visualItemRect(table->item(table->currentRow(), 0));
        QVERIFY2(table->viewport()->rect().contains(chosen),
                 qPrintable(QStringLiteral("row %1 at %2, viewport %3 high")
                                .arg(table->currentRow())
                                .arg(chosen.top())
                                .arg(table->viewport()->height())));
    }

    // The buttons page through the lunations, and the drawing follows.
    void pagesThroughLunations() {
        Rig rig(Utc(2026, 12, 5, 12));
        const auto press = [&](const char *name) {
            QTest::mouseClick(qobject_cast<QPushButton *>(rig.control(name)), Qt::LeftButton);
            return rig.window->lunation().newMoon.date();
        };
        QCOMPARE(press("nextLunation"), QDate(2027, 1, 7));
        QCOMPARE(press("previousLunation"), QDate(2026, 12, 9));
        QCOMPARE(press("previousLunation"), QDate(2026, 11, 9));
        QCOMPARE(qobject_cast<QLabel *>(rig.control("newMoonText"))->text(),
                 "Újhold: 2026. 11. 09. 8:02");
        const Evening &shown = rig.window->lunation().evenings[rig.window->selectedEvening()];
        QCOMPARE(rig.window->skyPanel()->view()->moment.jdUt, *shown.sighting.bestTime);
    }

    // A place far from the system's zone shown on its own clock, named: its
    // evenings on consecutive dates with sunset at the hour its people see
    // it, the drawing's caption naming the clock, and the map titled with the
    // date of the row it was drawn for.
    void placesOwnClock_data() {
        QTest::addColumn<QStringList>("typed"); // a search, or name, coordinates, elevation, zone
        QTest::addColumn<QString>("zone");
        QTest::addColumn<int>("sunsetHour"); // of the evening after the new moon's
        QTest::newRow("Mexico City, picked")
            << QStringList{"mexiko"} << "America/Mexico_City" << 17;
        QTest::newRow("Quito, typed with its zone")
            << QStringList{"Quito", "0° 10′ D", "78° 28′ Ny", "2850", "America/Guayaquil"}
            << "America/Guayaquil" << 18;
        QTest::newRow("Buenos Aires, where Budapest's clock passes midnight")
            << QStringList{"buenos"} << "America/Argentina/Buenos_Aires" << 19;
        // Samoa's clock runs a day ahead of its Sun: the map is of the solar
        // date, its title the row's.
        QTest::newRow("Apia, a day ahead of its Sun")
            << QStringList{"apia"} << "Pacific/Apia" << 18;
    }
    void placesOwnClock() {
        QFETCH(QStringList, typed);
        QFETCH(QString, zone);
        QFETCH(int, sunsetHour);
        Rig rig(Utc(2026, 12, 5, 12));
        QTimer::singleShot(0, [typed] {
            auto *dialog = qobject_cast<PlaceDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto field = [&](const char *name) {
                return dialog->findChild<QLineEdit *>(name);
            };
            if (typed.size() == 1) {
                field("placeSearch")->setText(typed[0]);
                QTest::keyClick(field("placeSearch"), Qt::Key_Return);
            } else {
                const char *names[] = {"placeName", "latitude", "longitude", "elevation", "zone"};
                for (int i = 0; i < typed.size(); ++i) {
                    field(names[i])->setText(typed[i]);
                }
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>("placeOk"), Qt::LeftButton);
        });
        QTest::mouseClick(qobject_cast<QPushButton *>(rig.control("placeButton")), Qt::LeftButton);
        QCOMPARE(rig.window->place().zone, zone);
        QCOMPARE(qobject_cast<QLabel *>(rig.control("clockText"))->text(), "Idő: " + zone);
        const QLocale locale;
        QList<QDate> dates;
        for (int i = 0; i < rig.window->lunation().evenings.size(); ++i) {
            const int row = rig.evening(i);
            dates << locale.toDate(
                rig.cell(row, EveningsTable::Date).section(QStringLiteral(" este"), 0, 0),
                QLocale::ShortFormat);
            QVERIFY2(dates.last().isValid(), qPrintable(rig.cell(row, EveningsTable::Date)));
            QVERIFY(i == 0 || dates[i - 1].daysTo(dates[i]) == 1);
            QVERIFY2(!rig.cell(row, EveningsTable::Sunset).contains(u'('),
                     qPrintable(rig.cell(row, EveningsTable::Sunset)));
        }
        const QTime sunset =
            QTime::fromString(rig.cell(rig.evening(1), EveningsTable::Sunset), "H:mm");
        QCOMPARE(sunset.hour(), sunsetHour);
        rig.window->selectEvening(1);
        QVERIFY2(rig.window->skyPanel()->view()->caption.contains(zone),
                 qPrintable(rig.window->skyPanel()->view()->caption));
        QSignalSpy drawn(rig.window->mapPanel(), &MapPanel::drawn);
        rig.window->views()->setCurrentIndex(1);
        QVERIFY(drawn.wait(60000));
        const QString title = rig.window->findChild<QLabel *>("worldMap")->accessibleDescription();
        const QString rowDate =
            QLocale(QLocale::Hungarian).toString(dates[1], QStringLiteral("yyyy. MMMM d."));
        QVERIFY2(title.contains(rowDate), qPrintable(title + QStringLiteral(" / ") + rowDate));
    }

    // The skyline typed in the place's dialog is the window's at once: the
    // evenings against it, its column in the table, the drawing's skyline;
    // emptied, all three are gone.
    void skylineFromTheDialog_data() {
        QTest::addColumn<QByteArray>("stored"); // horizont.txt before
        QTest::addColumn<QString>("typed");
        QTest::newRow("a hill typed") << QByteArray() << "210;0 | 220;4 | 230;4 | 240;0";
        QTest::newRow("the hill taken away") << QByteArray("210 0\n220 4\n230 4\n240 0\n") << "";
    }
    void skylineFromTheDialog() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        Rig rig(Utc(2026, 12, 5, 12), {}, stored);
        QCOMPARE(rig.window->skyline().isFlat(), stored.isEmpty());
        QTimer::singleShot(0, [typed] {
            auto *dialog = qobject_cast<PlaceDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *field = dialog->findChild<QLineEdit *>("horizon");
            field->selectAll();
            field->insert(typed);
            QTest::mouseClick(dialog->findChild<QPushButton *>("placeOk"), Qt::LeftButton);
        });
        QTest::mouseClick(qobject_cast<QPushButton *>(rig.control("placeButton")), Qt::LeftButton);
        const HorizonProfile skyline = ReadHorizonList(typed).profile;
        QCOMPARE(rig.window->skyline(), skyline);
        rig.window->selectEvening(1);
        const Evening &evening = rig.window->lunation().evenings[1];
        QCOMPARE(evening.skyline.has_value(), !typed.isEmpty());
        QCOMPARE(rig.window->eveningsTable()->isColumnHidden(
                     rig.column(QStringLiteral("Helyi horizont"))),
                 typed.isEmpty());
        const SkyView &view = *rig.window->skyPanel()->view();
        QCOMPARE(view.skyline, skyline);
        QCOMPARE(view.skylineLabel.isEmpty(), typed.isEmpty());
    }

    // The place chosen in its dialog is the window's at once, and the next
    // time the window opens.
    void placeChosenInTheDialog() {
        Rig rig(Utc(2026, 12, 5, 12));
        QCOMPARE(rig.window->place().name, "Budapest");
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<PlaceDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *search = dialog->findChild<QLineEdit *>("placeSearch");
            search->setText("szeged");
            QTest::keyClick(search, Qt::Key_Return);
            QTest::mouseClick(dialog->findChild<QPushButton *>("placeOk"), Qt::LeftButton);
        });
        QTest::mouseClick(qobject_cast<QPushButton *>(rig.control("placeButton")), Qt::LeftButton);
        const Place szeged = FindPlace(u"Szeged")->place;
        QCOMPARE(rig.window->place().name, "Szeged");
        QCOMPARE(rig.window->lunation().evenings[1].sighting.bestTime,
                 ComputeLunations(szeged, Utc(2026, 12, 5, 12), 1)
                     .first()
                     .evenings[1]
                     .sighting.bestTime);
        QCOMPARE(qobject_cast<QLabel *>(rig.control("placeText"))->text(),
                 "Szeged (46,25° É, 20,14° K, 75 m)");
        QCOMPARE(rig.window->skyPanel()->view()->placeName, "Szeged");
        rig.window->close();
        QTRY_VERIFY(!rig.window);
        rig.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.main));
        QTest::keyClick(rig.main, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(rig.main->crescentWindow());
        QCOMPARE(rig.main->crescentWindow()->place().name, "Szeged");
        rig.window = rig.main->crescentWindow();
    }
};

QTEST_MAIN(TestCrescentWindow)
#include "tst_crescentwindow.moc"
