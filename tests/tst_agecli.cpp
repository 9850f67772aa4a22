// lunex-age run as a process, the way scripts use it.

#include "processrun.h"

#include <QTest>
#include <QTimeZone>

using namespace lunex::test;

class TestAgeCli : public QObject {
    Q_OBJECT

    static Run run(const QStringList &args, const QString &locale, const QString &zone = "UTC") {
        return RunProgram(QStringLiteral(LUNEX_AGE_PATH), args,
                          {{{"LC_ALL", locale}, {"LANG", locale}, {"TZ", zone}}});
    }

private slots:
    void workedExample_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        const QString pad(36, u' ');
        QTest::newRow("hu") << "hu_HU.UTF-8"
                            << "Megfigyelés ideje:    2026. 11. 23. 17:30:00\n"
                               "Holdsarló kora:         82 óra 43 perc\n" +
                                   pad + "3 nap  10 óra 43 perc\n" + pad + "3,42 nap\n" + pad +
                                   "Növekvő sarló  --  13,7 %\n";
        QTest::newRow("en_US") << "en_US.UTF-8"
                               << "Megfigyelés ideje:    11/23/2026 5:30:00 PM\n"
                                  "Holdsarló kora:         82 óra 43 perc\n" +
                                      pad + "3 nap  10 óra 43 perc\n" + pad + "3.42 nap\n" + pad +
                                      "Növekvő sarló  --  13.7 %\n";
    }
    void workedExample() {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const Run r = run({"2026-11-20 06:47", "2026-11-23 17:30"}, locale);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, expected);
        QCOMPARE(r.err, QString());
    }

    // The real clock, read as the zone's civil time: half an hour off UTC
    // shows at once in the minutes.
    void presentMomentIsTheZonesClock() {
        const QTimeZone kolkata("Asia/Kolkata");
        const QDateTime before = QDateTime::currentDateTimeUtc().toTimeZone(kolkata);
        const Run r = run({"2026-11-20 06:47"}, "C.UTF-8", "Asia/Kolkata");
        const QDateTime after = QDateTime::currentDateTimeUtc().toTimeZone(kolkata);
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        const QTime shown = QTime::fromString(lines.at(1), "HH:mm:ss");
        QVERIFY2(shown.isValid(), qPrintable(lines.at(1)));
        QVERIFY2(QTime(before.time().hour(), before.time().minute()) <= shown &&
                     shown <= after.time(),
                 qPrintable(lines.at(1)));
        QCOMPARE(lines.at(0),
                 "Megfigyelés ideje:    " + QLocale::c().toString(before.date(), "d MMM yyyy"));
    }

    // Across a change of the clocks the age is the real elapsed time: summer
    // time after 2037 comes from the zone's rule, which Qt no longer lists,
    // and the offsets of local mean time, which are not whole minutes, count
    // rounded to the minute.
    void spansAClockChange_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("newMoon");
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QString>("age");
        QTest::newRow("spring") << "Europe/Budapest"
                                << "2025-03-29 11:58"
                                << "2025-03-30 19:30"
                                << "Holdsarló kora:         30 óra 32 perc";
        QTest::newRow("autumn") << "Europe/Budapest"
                                << "2025-10-21 14:25"
                                << "2025-10-26 18:00"
                                << "Holdsarló kora:         124 óra 35 perc";
        QTest::newRow("spring after 2037") << "Europe/Budapest"
                                           << "2040-03-20 12:00"
                                           << "2040-04-01 12:00"
                                           << "Holdsarló kora:         287 óra 0 perc";
        QTest::newRow("Prague's mean time to CET") << "Europe/Prague"
                                                   << "1891-09-20 12:00"
                                                   << "1891-10-05 12:00"
                                                   << "Holdsarló kora:         359 óra 58 perc";
        QTest::newRow("Dublin's mean time to GMT") << "Europe/Dublin"
                                                   << "1916-09-20 12:00"
                                                   << "1916-10-05 12:00"
                                                   << "Holdsarló kora:         360 óra 35 perc";
    }
    void spansAClockChange() {
        QFETCH(QString, zone);
        QFETCH(QString, newMoon);
        QFETCH(QString, observation);
        QFETCH(QString, age);
        const Run r = run({newMoon, observation}, "hu_HU.UTF-8", zone);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.split('\n').value(1), age);
    }

    // Results that could not be written are no results: /dev/full takes none.
    void outputThatCannotBeWritten() {
        RunOptions options{{{"LC_ALL", "hu_HU.UTF-8"}, {"TZ", "UTC"}}};
        options.outputFile = "/dev/full";
        const Run r = RunProgram(QStringLiteral(LUNEX_AGE_PATH),
                                 {"2026-11-20 06:47", "2026-11-23 17:30"}, options);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, "A kimenet nem írható ki: megtelt a lemez, vagy írási hiba történt.\n");
    }

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad new moon, present moment")
            << QStringList{"holnap"} << "Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!\n";
        QTest::newRow("bad observation")
            << QStringList{"2026-11-20 06:47", "x"}
            << "Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!\n";
        QTest::newRow("too far apart") << QStringList{"0100-01-01", "9999-01-01"}
                                       << "A két időpont túl messze van egymástól!\n";
        // A year before the common era starts with '-': a date, not options.
        QTest::newRow("a new moon before the common era, present moment")
            << QStringList{"-9999-01-01 00:00"} << "Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!\n";
        QTest::newRow("a new moon before the common era")
            << QStringList{"-9999-01-01 00:00", "x"}
            << "Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!\n";
        QTest::newRow("an observation before the common era")
            << QStringList{"2026-11-20 06:47", "-0001-12-31"}
            << "Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!\n";
        QTest::newRow("a time the clock skips")
            << QStringList{"2026-03-29 02:30", "2026-03-29 08:00"}
            << "Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!\n";
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = run(args, "hu_HU.UTF-8", "Europe/Budapest");
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, message);
    }
};

QTEST_GUILESS_MAIN(TestAgeCli)
#include "tst_agecli.moc"
