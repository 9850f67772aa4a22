#include "lunar/lunarage.h"
#include "store/paths.h"
#include "texts/datetext.h"
#include "texts/numbertext.h"
#include "texts/resulttexts.h"

#include "dates.h"
#include "resulttext.h"

#include <QTest>

using namespace lunex;
using namespace lunex::test;

namespace {

const QString Pad = QString(36, u' ');
const int Present = int(ObservationKind::PresentMoment);    // the gain 54
const int Stored = int(ObservationKind::StoredObservation); // the gain 53

QStringList texts(ObservationKind kind, const QDateTime &n, const QDateTime &o,
                  const QLocale &locale) {
    const LunarAge age = CalculateLunarAge(n, o).value();
    const QList<ResultText> all =
        BuildResultTexts(kind, o, age, SelectPhaseBand(age.cycleAge),
                         CalculateIllumination(age.elapsedDays, kind), locale);
    QStringList out;
    for (const ResultText &t : all) {
        out << Shown(t);
    }
    return out;
}

} // namespace

class TestLunar : public QObject {
    Q_OBJECT

private slots:
    void workedExampleTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("expected");
        const QString age2 = "2:Holdsarló kora:         82 óra 43 perc";
        const QString age3 = "3:" + Pad + "3 nap  10 óra 43 perc";
        QTest::newRow("hu, present moment, gain 54")
            << "hu_HU" << Present << QStringList{"1:Megfigyelés ideje:    2026. 11. 23.",
                                                 "1a:17:30:00",
                                                 age2,
                                                 age3,
                                                 "4:" + Pad + "3,42 nap",
                                                 "5:" + Pad + "Növekvő sarló  --  13,9 %"};
        QTest::newRow("hu, stored observation, gain 53")
            << "hu_HU" << Stored
            << QStringList{"1:Megfigyelés ideje:    2026. 11. 23. 17:30:00", age2, age3,
                           "4:" + Pad + "3,42 nap", "5:" + Pad + "Növekvő sarló  --  13,7 %"};
        QTest::newRow("en_US, present moment, gain 54")
            << "en_US" << Present << QStringList{"1:Megfigyelés ideje:    11/23/2026",
                                                 "1a:5:30:00 PM",
                                                 age2,
                                                 age3,
                                                 "4:" + Pad + "3.42 nap",
                                                 "5:" + Pad + "Növekvő sarló  --  13.9 %"};
        QTest::newRow("en_US, stored observation, gain 53")
            << "en_US" << Stored
            << QStringList{"1:Megfigyelés ideje:    11/23/2026 5:30:00 PM", age2, age3,
                           "4:" + Pad + "3.42 nap", "5:" + Pad + "Növekvő sarló  --  13.7 %"};
    }
    void workedExampleTexts() {
        QFETCH(QString, locale);
        QFETCH(int, kind);
        QFETCH(QStringList, expected);
        QCOMPARE(texts(ObservationKind(kind), Utc(2026, 11, 20, 6, 47), Utc(2026, 11, 23, 17, 30),
                       QLocale(locale)),
                 expected);
    }

    void ageFields_data() {
        QTest::addColumn<QDateTime>("newMoon");
        QTest::addColumn<QDateTime>("observation");
        QTest::addColumn<QString>("ages"); // totalHours minutePart wholeDays hourPart
        QTest::addColumn<QString>("fractional");
        QTest::addColumn<QString>("band"); // phase name and picture
        QTest::addColumn<QString>("percent54");
        const QDateTime n = Utc(2026, 11, 20, 6, 47);
        QTest::newRow("observation at the new moon") << n << n << "0 0 0 0"
                                                     << "0.00"
                                                     << "Újhold /Pic/000-ujhold.gif"
                                                     << "0.0";
        QTest::newRow("worked example") << n << Utc(2026, 11, 23, 17, 30) << "82 43 3 10"
                                        << "3.42"
                                        << "Növekvő sarló /Pic/010-novekvo.gif"
                                        << "13.9";
        QTest::newRow("3.2 days before the new moon")
            << n << n.addSecs(-qint64(3.2 * 86400)) << "76 48 3 4"
            << "3.17"
            << "Fogyó sarló /Pic/070-fogyo.gif"
            << "12.1";
        QTest::newRow("59.3 days: printed age is never reduced")
            << n << n.addSecs(qint64(59.3 * 86400)) << "1423 12 59 7"
            << "59.29"
            << "Újhold /Pic/000-ujhold.gif"
            << "0.0";
        QTest::newRow("50 h 59 min: minutes stay out of the fractional days")
            << n << n.addSecs(50 * 3600 + 59 * 60) << "50 59 2 2"
            << "2.08"
            << "Növekvő sarló /Pic/010-novekvo.gif"
            << "5.5";
        QTest::newRow("75 hours is 3.125 days and rounds up")
            << n << n.addSecs(75 * 3600) << "75 0 3 3"
            << "3.13"
            << "Növekvő sarló /Pic/010-novekvo.gif"
            << "11.6";
        QTest::newRow("3 days 2 hours") << n << n.addSecs(74 * 3600) << "74 0 3 2"
                                        << "3.08"
                                        << "Növekvő sarló /Pic/010-novekvo.gif"
                                        << "11.3";
        QTest::newRow("the seconds count for the phase")
            << n << Utc(2026, 11, 22, 2, 56, 50) << "44 9 1 20"
            << "1.83"
            << "Növekvő sarló /Pic/004-novekvo.gif"
            << "4.1";
        QTest::newRow("minute boundary crossed by one second")
            << Utc(2026, 1, 1, 10, 0, 59) << Utc(2026, 1, 1, 10, 1, 0) << "0 1 0 0"
            << "0.00"
            << "Újhold /Pic/000-ujhold.gif"
            << "0.0";
        QTest::newRow("59 seconds inside one minute")
            << Utc(2026, 1, 1, 10, 0, 0) << Utc(2026, 1, 1, 10, 0, 59) << "0 0 0 0"
            << "0.00"
            << "Újhold /Pic/000-ujhold.gif"
            << "0.0";
        QTest::newRow("minute boundary before 1970")
            << Utc(1969, 12, 31, 23, 59, 30) << Utc(1970, 1, 1, 0, 0, 10) << "0 1 0 0"
            << "0.00"
            << "Újhold /Pic/000-ujhold.gif"
            << "0.0";
        QTest::newRow("across a leap day")
            << Utc(2024, 2, 28, 12, 0) << Utc(2024, 3, 1, 12, 0) << "48 0 2 0"
            << "2.00"
            << "Növekvő sarló /Pic/004-novekvo.gif"
            << "4.9";
        QTest::newRow("full moon is capped at 100") << n << n.addDays(15) << "360 0 15 0"
                                                    << "15.00"
                                                    << "Telihold /Pic/040-telihold.gif"
                                                    << "100.0";
        QTest::newRow("more than 4000 years still fits")
            << Utc(100, 1, 1) << Utc(4100, 1, 1) << "35063280 0 1460970 0"
            << "1460970.00"
            << "Növekvő sarló /Pic/010-novekvo.gif"
            << "12.0";
    }
    void ageFields() {
        QFETCH(QDateTime, newMoon);
        QFETCH(QDateTime, observation);
        QFETCH(QString, ages);
        QFETCH(QString, fractional);
        QFETCH(QString, band);
        QFETCH(QString, percent54);
        const LunarAge a = CalculateLunarAge(newMoon, observation).value();
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(a.totalHours)
                     .arg(a.minutePart)
                     .arg(a.wholeDays)
                     .arg(a.hourPart),
                 ages);
        QVERIFY(a.cycleAge >= 0 && a.cycleAge < SynodicMonthDays);
        QCOMPARE(FormatPattern(a.fractionalDays, 2, QLocale::c()), fractional);
        const PhaseBand &b = SelectPhaseBand(a.cycleAge);
        QCOMPARE(b.phaseName.toString() + " " + PhasePictureFile(b), band);
        QCOMPARE(FormatPattern(CalculateIllumination(a.elapsedDays, ObservationKind::PresentMoment),
                               1, QLocale::c()),
                 percent54);
    }

    void beforeTheNewMoonMirrorsAfter() {
        const QDateTime n = Utc(2026, 11, 20, 6, 47);
        const LunarAge before = CalculateLunarAge(n, n.addSecs(-276480)).value();
        const LunarAge after = CalculateLunarAge(n, n.addSecs(276480)).value();
        QVERIFY(before.elapsedDays < 0);
        QCOMPARE(before.cycleAge, SynodicMonthDays - 3.2);
        QCOMPARE(before.totalMinutes, after.totalMinutes);
        QCOMPARE(CalculateIllumination(before.elapsedDays, ObservationKind::PresentMoment),
                 CalculateIllumination(after.elapsedDays, ObservationKind::PresentMoment));
    }

    void minuteCountOverflow_data() {
        QTest::addColumn<QDateTime>("newMoon");
        QTest::addColumn<QDateTime>("observation");
        QTest::addColumn<bool>("fits");
        QTest::newRow("years 100 to 9999")
            << Utc(100, 1, 1) << Utc(9999, 12, 31, 23, 59, 59) << false;
        QTest::newRow("and back") << Utc(9999, 12, 31) << Utc(100, 1, 1) << false;
        // 2^31 - 1 minutes after 2000-01-01 00:00 is 6083-01-23 02:07.
        QTest::newRow("last minute that fits")
            << Utc(2000, 1, 1) << Utc(6083, 1, 23, 2, 7, 59) << true;
        QTest::newRow("first minute that does not")
            << Utc(2000, 1, 1) << Utc(6083, 1, 23, 2, 8) << false;
        QTest::newRow("last minute that fits, backwards")
            << Utc(6083, 1, 23, 2, 7) << Utc(2000, 1, 1) << true;
        QTest::newRow("2^31 minutes backwards")
            << Utc(6083, 1, 23, 2, 8) << Utc(2000, 1, 1) << false;
    }
    void minuteCountOverflow() {
        QFETCH(QDateTime, newMoon);
        QFETCH(QDateTime, observation);
        QFETCH(bool, fits);
        QCOMPARE(CalculateLunarAge(newMoon, observation).has_value(), fits);
    }

    void phaseBandEdges_data() {
        QTest::addColumn<double>("cycleAge");
        QTest::addColumn<int>("row");
        QTest::newRow("0") << 0.0 << 1;
        QTest::newRow("just below 1.84") << 1.8399999 << 1;
        QTest::newRow("exactly 1.84") << 1.84 << 2;
        QTest::newRow("exactly 2.1") << 2.1 << 3;
        QTest::newRow("exactly 12.9") << 12.9 << 7;
        QTest::newRow("exactly 27.6") << 27.6 << 12;
        QTest::newRow("just below 28.2") << 28.1999999 << 12;
        QTest::newRow("exactly 28.2") << 28.2 << 13;
        QTest::newRow("end of the lunation") << 29.53 << 13;
    }
    void phaseBandEdges() {
        QFETCH(double, cycleAge);
        QFETCH(int, row);
        QCOMPARE(&SelectPhaseBand(cycleAge), &PhaseBands[std::size_t(row - 1)]);
    }

    void illuminationLimits_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("percent");
        QTest::newRow("raw 0.06 at new moon is 0") << 0.0 << Present << 0.0;
        QTest::newRow("0.33 days is still 0") << 0.33 << Present << 0.0;
        QTest::newRow("0.35 days is lit") << 0.35 << Present << 0.2097;
        QTest::newRow("12.15 days, gain 54, below the cap") << 12.15 << Present << 99.91;
        QTest::newRow("12.17 days, gain 54, capped") << 12.17 << Present << 100.0;
        QTest::newRow("12.49 days, gain 53, below the cap") << 12.49 << Stored << 99.96;
        QTest::newRow("12.51 days, gain 53, capped") << 12.51 << Stored << 100.0;
        QTest::newRow("17.02 days, gain 53, capped") << 17.02 << Stored << 100.0;
        QTest::newRow("17.05 days, gain 53, below the cap") << 17.05 << Stored << 99.92;
    }
    void illuminationLimits() {
        QFETCH(double, days);
        QFETCH(int, kind);
        QFETCH(double, percent);
        const double p = CalculateIllumination(days, ObservationKind(kind));
        QVERIFY2(qAbs(p - percent) < 0.01, qPrintable(QString::number(p, 'f', 4)));
        QVERIFY(p == 0 || p >= 0.2);
        QVERIFY(p <= 100);
    }
};

QTEST_GUILESS_MAIN(TestLunar)
#include "tst_lunar.moc"
