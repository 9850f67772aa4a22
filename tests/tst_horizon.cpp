// The observer's own skyline: its altitude between the measured points, the
// lists it is read from, and the Moon sinking behind it (rising above it in
// the morning) against a flat horizon raised as high and against the Moon's
// own altitude found another way.

#include "lunar/apparentsky.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "lunar/horizon.h"
#include "lunar/newmoon.h"

#include <QDate>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace lunex;

namespace {

const Place Szeged{46.25, 20.14, 75};

// The points as "azimuth:altitude", blank-separated, to compare at a glance.
QString PointsText(const HorizonProfile &profile) {
    QStringList pairs;
    for (const SkylinePoint &p : profile.points()) {
        pairs << QStringLiteral("%1:%2").arg(p.azimuth).arg(p.altitude);
    }
    return pairs.join(u' ');
}

// The evening (morning) of the date at the place, against the skyline.
Evening DayAt(const QDate &date, bool morning, const HorizonProfile &skyline,
              const Place &place = Szeged) {
    const int k = LunationAtOrAfter(date.addDays(-4).startOfDay(QTimeZone::utc()));
    const Lunation lunation = ComputeLunation(place, k, skyline);
    const QList<Evening> &days = morning ? lunation.mornings : lunation.evenings;
    const auto day =
        std::find_if(days.begin(), days.end(), [&](const Evening &e) { return e.date == date; });
    return day == days.end() ? Evening{} : *day;
}

// The second way: the instant the Moon's apparent altitude, each time
// computed afresh for the place, passes `altitude` going away from the Sun's
// event; none when it never stands above it then.
std::optional<double> MoonPasses(double altitude, const Evening &e) {
    const double step = static_cast<double>(e.direction) / 1440.0;
    const auto above = [&](double t) { return ObserveSky(Szeged, t).moon.altitude > altitude; };
    double t = *e.sighting.sunEvent;
    if (!above(t)) {
        return std::nullopt;
    }
    while (above(t + step)) {
        t += step;
    }
    double high = t;
    double low = t + step;
    for (int i = 0; i < 40; ++i) {
        const double middle = (high + low) / 2;
        (above(middle) ? high : low) = middle;
    }
    return high;
}

} // namespace

class TestHorizon : public QObject {
    Q_OBJECT

private slots:
    void skylineAltitude_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<double>("azimuth");
        QTest::addColumn<double>("altitude");
        QTest::newRow("flat") << "" << 250.0 << 0.0;
        QTest::newRow("one point stands all round") << "250 4" << 70.0 << 4.0;
        QTest::newRow("between two points") << "240 0 | 250 6" << 245.0 << 3.0;
        QTest::newRow("on a point") << "240 0 | 250 6" << 250.0 << 6.0;
        QTest::newRow("two points, the long way round") << "240 0 | 250 6" << 65.0 << 3.0;
        QTest::newRow("round the circle past north") << "350 2 | 10 4" << 0.0 << 3.0;
        QTest::newRow("360 is north") << "350 2 | 10 4" << 360.0 << 3.0;
        QTest::newRow("a negative azimuth") << "350 2 | 10 4" << -5.0 << 2.5;
        QTest::newRow("just before the first point") << "10 4 | 100 1 | 350 2" << 9.0 << 3.9;
        QTest::newRow("just past the last point") << "10 4 | 100 1 | 350 2" << 351.0 << 2.1;
        QTest::newRow("two points at one azimuth: the later")
            << "250 2 | 250 5 | 270 5" << 250.0 << 5.0;
        QTest::newRow("the land falling away") << "200 -2 | 300 -4" << 225.0 << -2.5;
    }
    void skylineAltitude() {
        QFETCH(QString, list);
        QFETCH(double, azimuth);
        QFETCH(double, altitude);
        const HorizonReading reading = ReadHorizonList(list);
        QVERIFY(reading.badLines.isEmpty());
        QVERIFY2(std::abs(reading.profile.altitudeAt(azimuth) - altitude) < 1e-9,
                 qPrintable(QString::number(reading.profile.altitudeAt(azimuth))));
    }

    // Lenient: the forms an observer types or another program wrote, the
    // good lines kept and the bad ones named by their line numbers.
    void readHorizonList_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QList<int>>("badLines");
        QTest::newRow("empty") << ""
                               << "" << QList<int>{};
        QTest::newRow("comments and blank lines")
            << "# Szeged, a kert végéből\n\n240 0   # a nyárfa\n   \n250 6\n"
            << "240:0 250:6" << QList<int>{};
        QTest::newRow("CR LF and lone CR") << "240 0\r\n250 6\r260 1\r\n"
                                           << "240:0 250:6 260:1" << QList<int>{};
        QTest::newRow("bad lines by their numbers") << "240 0\ndomb\n250 6\n250\n1 2 3\n260;\n"
                                                    << "240:0 250:6" << QList<int>{2, 4, 5, 6};
        QTest::newRow("altitudes from -5 to 60") << "240 -5\n245 -5.01\n250 60\n255 60.5"
                                                 << "240:-5 250:60" << QList<int>{2, 4};
        QTest::newRow("not a number") << "nan 2\n250 inf\n0x10 2\n1e2 3"
                                      << "100:3" << QList<int>{1, 2, 3};
        QTest::newRow("typed on one line") << "250;2 | 260;6"
                                           << "250:2 260:6" << QList<int>{};
        QTest::newRow("a bad pair on a typed line") << "250;2 | domb | 260;6\n270;1"
                                                    << "250:2 260:6 270:1" << QList<int>{1};
        QTest::newRow("decimal commas with ';'") << "247,5;6,5\n 250 ; 3 "
                                                 << "247.5:6.5 250:3" << QList<int>{};
        QTest::newRow("a decimal comma between blanks") << "247,5 6"
                                                        << "247.5:6" << QList<int>{};
        QTest::newRow("one comma between point decimals") << "247.5,6.25"
                                                          << "247.5:6.25" << QList<int>{};
        QTest::newRow("a planetarium's plain list, tabs")
            << "# azimuth altitude\n0\t1.5\n90.0    2\n180.000 0.25\n"
            << "0:1.5 90:2 180:0.25" << QList<int>{};
        QTest::newRow("azimuths round the circle") << "-10 1\n370 2\n360 3"
                                                   << "0:3 10:2 350:1" << QList<int>{};
        QTest::newRow("a '|' in a comment") << "# domb | fa\n250 2 # keret | vége\nfa\n"
                                            << "250:2" << QList<int>{3};
        QTest::newRow("a '#' alone") << "#\n#250 2\n260 1#"
                                     << "260:1" << QList<int>{};
    }
    void readHorizonList() {
        QFETCH(QString, text);
        QFETCH(QString, points);
        QFETCH(QList<int>, badLines);
        const HorizonReading reading = ReadHorizonList(text);
        QCOMPARE(PointsText(reading.profile), points);
        QCOMPARE(reading.badLines, badLines);
        // What the list is written as reads back the same.
        QCOMPARE(ReadHorizonList(HorizonListText(reading.profile)).profile, reading.profile);
    }

    // The same answer two ways: the skyline standing at `altitude` where the
    // Moon crosses it, a flat horizon raised as high, and the instant the
    // Moon's apparent altitude, computed afresh, passes it.
    void moonAgainstSkyline_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("morning");
        QTest::addColumn<QString>("skyline");
        QTest::addColumn<double>("altitude"); // where the Moon crosses; NaN: nowhere to judge
        QTest::addColumn<bool>("hidden");     // behind the skyline all the while
        const double none = std::numeric_limits<double>::quiet_NaN();
        // A 6° hill in the west-south-west.
        const QString hill = QStringLiteral("215 0 | 225 6 | 255 6 | 265 0");
        QTest::newRow("sinks behind the hill")
            << QDate(2027, 1, 10) << false << hill << 6.0 << false;
        QTest::newRow("rises above a hill in the south-east")
            << QDate(2027, 1, 4) << true << "120 0 | 130 6 | 150 6 | 160 0" << 6.0 << false;
        QTest::newRow("the land falls away: after moonset")
            << QDate(2027, 1, 10) << false << "180 0 | 220 -2 | 280 -2 | 320 0" << -2.0 << false;
        QTest::newRow("a low crescent behind the hill all the while")
            << QDate(2027, 1, 8) << false << hill << 6.0 << true;
        QTest::newRow("trees all round") << QDate(2027, 1, 10) << false << "0 40" << 40.0 << true;
        QTest::newRow("no crescent: nothing to judge")
            << QDate(2027, 1, 7) << false << hill << none << false;
    }
    void moonAgainstSkyline() {
        QFETCH(QDate, date);
        QFETCH(bool, morning);
        QFETCH(QString, skyline);
        QFETCH(double, altitude);
        QFETCH(bool, hidden);
        const Evening e = DayAt(date, morning, ReadHorizonList(skyline).profile);
        QVERIFY(e.date.isValid());
        if (std::isnan(altitude)) {
            QVERIFY(!e.skyline);
            return;
        }
        QVERIFY(e.skyline);
        const Evening flat =
            DayAt(date, morning, HorizonProfile(QList<SkylinePoint>{{0, altitude}}));
        QVERIFY(flat.skyline);
        const std::optional<double> passes = MoonPasses(altitude, e);
        QCOMPARE(e.skyline->crossingJd.has_value(), !hidden);
        QCOMPARE(flat.skyline->crossingJd.has_value(), !hidden);
        QCOMPARE(passes.has_value(), !hidden);
        const bool aboveAtBest = ObserveSky(Szeged, *e.sighting.bestTime).moon.altitude > altitude;
        QCOMPARE(e.skyline->aboveAtBestTime, aboveAtBest);
        QCOMPARE(flat.skyline->aboveAtBestTime, aboveAtBest);
        if (hidden) {
            return;
        }
        const auto seconds = [](double a, double b) { return std::abs(a - b) * 86400.0; };
        QVERIFY2(seconds(*e.skyline->crossingJd, *passes) < 3,
                 qPrintable(FromJulianDay(*e.skyline->crossingJd).toString(Qt::ISODateWithMs)));
        QVERIFY(seconds(*flat.skyline->crossingJd, *passes) < 3);
        // Away from the Sun: after sunset, before sunrise.
        QVERIFY((*passes - *e.sighting.sunEvent) * static_cast<double>(e.direction) > 0);
    }

    // Far north the Moon can set and stay above a skyline that falls away
    // below the flat horizon all night: no time is made up for its sinking.
    void moonNeverBehindTheSkyline_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("morning");
        QTest::newRow("Tromsø, an evening of March") << QDate(2026, 3, 21) << false;
        QTest::newRow("Tromsø, a morning of May") << QDate(2026, 5, 16) << true;
    }
    void moonNeverBehindTheSkyline() {
        QFETCH(QDate, date);
        QFETCH(bool, morning);
        const Place tromso{69.65, 18.96, 10};
        const double skyline = -4.5;
        const Evening e =
            DayAt(date, morning, HorizonProfile(QList<SkylinePoint>{{0, skyline}}), tromso);
        QVERIFY(e.sighting.bestTime && e.sighting.moonEvent);
        // The Moon above the skyline from the Sun's event until six hours past its own.
        const double away = static_cast<double>(e.direction);
        for (double t = *e.sighting.sunEvent; (*e.sighting.moonEvent + away / 4 - t) * away > 0;
             t += away / 144) {
            QVERIFY(ObserveSky(tromso, t).moon.altitude > skyline);
        }
        QVERIFY(!e.skyline);
    }
};

QTEST_GUILESS_MAIN(TestHorizon)
#include "tst_horizon.moc"
