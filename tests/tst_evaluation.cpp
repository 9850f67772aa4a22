#include "evalfakes.h"
#include "store/datafiles.h"
#include "store/fileio.h"
#include "texts/datetext.h"

#include <QTest>

using namespace lunex;
using namespace lunex::test;

namespace {

const QString Pad = QString(36, u' ');
const QString MostMessage = QStringLiteral("Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!");
const QString StoredMessage =
    QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!");

const QLocale Hu(QLocale::Hungarian, QLocale::Hungary);

} // namespace

class TestEvaluation : public QObject {
    Q_OBJECT

private slots:
    void presentMomentDrawsSavesAndFillsObservation() {
        EvalRig rig(Hu);
        rig.fields.newMoon = "2026-11-20 06:47";
        rig.fields.observation = "old";
        rig.clock.at = Utc(2026, 11, 23, 17, 30, 0);
        EvaluatePresentMoment(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        QCOMPARE(rig.surface.printed,
                 (QStringList{"1:Megfigyelés ideje:    2026. 11. 23.", "1a:17:30:00",
                              "2:Holdsarló kora:         82 óra 43 perc",
                              "3:" + Pad + "3 nap  10 óra 43 perc", "4:" + Pad + "3,42 nap",
                              "5:" + Pad + "Növekvő sarló  --  13,9 %"}));
        QCOMPARE(rig.picture.loads, 1);
        QCOMPARE(rig.picture.shown.size(), QSize(1, 1));
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        // The observation box holds the evaluated moment, and it converts back.
        QCOMPARE(rig.fields.observation, QStringLiteral("2026. 11. 23. 17:30:00"));
        QCOMPARE(ParseDateTimeText(rig.fields.observation, Hu, UtcZone), rig.clock.at);
        QVERIFY(!QFile::exists(rig.dir.pic("utolso.txt")));
    }

    void presentMomentBeforeTheNewMoon() {
        EvalRig rig(Hu);
        rig.fields.newMoon = "2026-11-20 06:47";
        rig.clock.at = Utc(2026, 11, 17, 1, 59);
        EvaluatePresentMoment(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        QCOMPARE(rig.surface.printed.at(2), "2:Holdsarló kora:         76 óra 48 perc");
        QVERIFY(rig.surface.printed.at(5).startsWith("5:" + Pad + "Fogyó sarló  --  "));
    }

    void presentMomentRefusesABadNewMoon_data() {
        QTest::addColumn<QString>("text11");
        QTest::newRow("empty") << "";
        QTest::newRow("incomplete") << "2026-11-";
        QTest::newRow("not a date") << "tegnap";
        QTest::newRow("a time alone") << "06:47";
    }
    void presentMomentRefusesABadNewMoon() {
        QFETCH(QString, text11);
        EvalRig rig(Hu);
        rig.dir.write("ujhold.txt", "stored\r\n");
        rig.surface.printed = QStringList{"earlier result"};
        rig.fields.newMoon = text11;
        rig.fields.observation = "typed";
        rig.clock.at = Utc(2026, 11, 23, 17, 30);
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, MostMessage);
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Warning);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.surface.clears, 0);
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.fields.observation, "typed");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
    }

    // What can fail inside the evaluation is checked before anything changes.
    void failuresBeforeDrawingChangeNothing_data() {
        QTest::addColumn<QString>("text11");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing phase picture") << "2026-11-20 06:47" << Utc(2026, 11, 23, 17, 30)
                                               << "A(z) '010-novekvo.gif' kép nem tölthető be!";
        QTest::newRow("times too far apart")
            << "0100-01-01 00:00" << Utc(9999, 1, 1) << "A két időpont túl messze van egymástól!";
        QTest::newRow("phase picture cut short") << "2026-11-20 06:47" << Utc(2026, 11, 23, 17, 30)
                                                 << "A(z) '010-novekvo.gif' kép nem tölthető be!";
        QTest::newRow("phase picture beyond 32 MiB")
            << "2026-11-20 06:47" << Utc(2026, 11, 23, 17, 30)
            << "A(z) '010-novekvo.gif' kép nem tölthető be: túl nagy (legfeljebb 32 MiB).";
    }
    void failuresBeforeDrawingChangeNothing() {
        QFETCH(QString, text11);
        QFETCH(QDateTime, now);
        QFETCH(QString, message);
        EvalRig rig(Hu);
        QFile::remove(rig.pictures.pic("010-novekvo.gif"));
        const QLatin1String tag(QTest::currentDataTag());
        if (tag != QLatin1String("missing phase picture") &&
            tag != QLatin1String("times too far apart")) {
            QFile real(QStringLiteral(LUNEX_PIC_DIR "/010-novekvo.gif"));
            QVERIFY(real.open(QIODevice::ReadOnly));
            const QByteArray whole = real.readAll();
            const bool cut = tag == QLatin1String("phase picture cut short");
            rig.pictures.write("010-novekvo.gif", cut ? whole.left(3000) : whole);
            // The whole picture, then a hole of NUL bytes beyond the limit.
            QVERIFY(cut ||
                    QFile::resize(rig.pictures.pic("010-novekvo.gif"), 32 * 1024 * 1024 + 1));
        }
        rig.dir.write("ujhold.txt", "stored\r\n");
        rig.surface.printed = QStringList{"earlier result"};
        rig.fields.newMoon = text11;
        rig.fields.observation = "typed";
        rig.clock.at = now;
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, message);
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.fields.observation, "typed");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
    }

    // Ages are real elapsed time in the zone's civil time, across every change
    // of the clocks; an empty age means the new moon names a skipped time.
    void agesAcrossClockChanges_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("newMoon");
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QString>("age");
        const auto row = [](const char *zone, const char *n, const char *o, const char *age) {
            QTest::addRow("%s %s", zone, n) << zone << n << o << age;
        };
        row("Europe/Budapest", "2025-03-29 11:58", "2025-03-30 19:30", "30 óra 32 perc");
        row("Europe/Budapest", "2025-10-21 14:25", "2025-10-26 18:00", "124 óra 35 perc");
        row("Europe/Budapest", "2025-10-26 02:30", "2025-10-26 03:30",
            "2 óra 0 perc"); // first 02:30
        row("Europe/Budapest", "2025-03-30 01:59:59", "2025-03-30 03:00:00", "0 óra 1 perc");
        row("Europe/Budapest", "2026-03-29 02:30", "2026-03-29 08:00", "");
        row("Europe/Budapest", "1890-10-31 23:50", "1890-11-01 01:00", "1 óra 26 perc"); // LMT
        row("America/Santiago", "2025-04-05 20:00", "2025-04-06 08:00", "13 óra 0 perc");
        row("America/Santiago", "2025-09-06 20:00", "2025-09-07 08:00", "11 óra 0 perc");
        row("America/Santiago", "2025-09-07 00:30", "2025-09-07 08:00", "");
        row("Australia/Lord_Howe", "2025-04-05 20:00", "2025-04-06 08:00", "12 óra 30 perc");
        row("Australia/Lord_Howe", "2025-10-04 20:00", "2025-10-05 08:00", "11 óra 30 perc");
        row("Australia/Lord_Howe", "2025-10-05 02:15", "2025-10-05 08:00", "");
        row("Asia/Kolkata", "2025-03-29 11:58", "2025-03-30 19:30", "31 óra 32 perc");
        row("UTC", "2025-03-29 11:58", "2025-03-30 19:30", "31 óra 32 perc");
    }
    void agesAcrossClockChanges() {
        QFETCH(QString, zone);
        QFETCH(QString, newMoon);
        QFETCH(QString, observation);
        QFETCH(QString, age);
        const QString printedAge = "2:Holdsarló kora:         " + age;

        EvalRig stored(Hu);
        stored.ports.zone = QTimeZone(zone.toUtf8());
        stored.fields.newMoon = newMoon;
        stored.dir.write("utolso.txt", observation.toLatin1());
        EvaluateStoredObservation(stored.ports);

        EvalRig present(Hu);
        present.ports.zone = stored.ports.zone;
        present.fields.newMoon = newMoon;
        present.clock.at = ParseDateTimeText(observation, Hu, stored.ports.zone).value().toUTC();
        EvaluatePresentMoment(present.ports);

        if (age.isEmpty()) {
            QCOMPARE(stored.messages.shown.value(0).text, StoredMessage);
            QCOMPARE(present.messages.shown.value(0).text, MostMessage);
            return;
        }
        QCOMPARE(stored.surface.printed.value(1), printedAge);
        QCOMPARE(present.surface.printed.value(2), printedAge);
        // "Most!" shows the zone's clock, and what it leaves in Text12 reads back.
        const QTime local =
            QTime::fromString(observation.mid(11), observation.size() > 16 ? "HH:mm:ss" : "HH:mm");
        QCOMPARE(present.surface.printed.value(1), "1a:" + LongTimeText(local, Hu));
        QCOMPARE(ParseDateTimeText(present.fields.observation, Hu, present.ports.zone),
                 present.clock.at);
    }

    // What "Most!" leaves in Text12 is saved by "Mentés" and evaluated by
    // "Utolsó megfigyelés" as the same moment, in every locale Qt knows.
    void presentMomentReadsBackInEveryLocale() {
        const QDateTime moment = Utc(2026, 11, 23, 17, 30, 5);
        // In memory where the system has it: three saves a locale, each one synced.
        EvalRig rig(Hu, MemoryBackedTemp());
        for (const QLocale &locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            rig.ports.locale = locale;
            rig.messages.shown.clear();
            rig.fields.newMoon = "2026-11-20 06:47";
            rig.clock.at = moment;
            EvaluatePresentMoment(rig.ports);
            QVERIFY(SaveObservation(rig.dir.path(), rig.fields, rig.messages));
            rig.fields.observation.clear();
            EvaluateStoredObservation(rig.ports);
            QVERIFY2(rig.messages.shown.isEmpty(), qPrintable(locale.name()));
            QCOMPARE(ParseDateTimeText(rig.fields.observation, locale, rig.ports.zone), moment);
            QCOMPARE(rig.surface.printed.value(0),
                     "1:Megfigyelés ideje:    " + GeneralDateText(moment, locale));
        }
    }

    void unwritableNewMoonFileKeepsTheResults() {
        EvalRig rig(Hu);
        QDir(rig.dir.pic("")).mkdir("ujhold.txt");
        rig.fields.newMoon = "2026-11-20 06:47";
        rig.clock.at = Utc(2026, 11, 23, 17, 30);
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.surface.printed.size(), 6);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text,
                 QStringLiteral("Az 'ujhold.txt' fájl nem menthető: a fájl helyén egy mappa van."));
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Critical);
    }

    void storedObservationWorkedExample() {
        EvalRig rig(Hu);
        rig.fields.newMoon = "2026-11-20 06:47";
        rig.fields.observation = "unsaved typing";
        rig.dir.write("utolso.txt", "2026-11-23 17:30\r\n");
        EvaluateStoredObservation(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        const QStringList expected{"1:Megfigyelés ideje:    2026. 11. 23. 17:30:00",
                                   "2:Holdsarló kora:         82 óra 43 perc",
                                   "3:" + Pad + "3 nap  10 óra 43 perc", "4:" + Pad + "3,42 nap",
                                   "5:" + Pad + "Növekvő sarló  --  13,7 %"};
        QCOMPARE(rig.surface.printed, expected);
        QCOMPARE(rig.fields.observation, "2026-11-23 17:30\r\n");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        QCOMPARE(rig.dir.read("utolso.txt"), QByteArray("2026-11-23 17:30\r\n"));
        // A second press with unchanged inputs draws the very same texts.
        EvaluateStoredObservation(rig.ports);
        QCOMPARE(rig.surface.printed, expected);
        QCOMPARE(rig.picture.loads, 2);
    }

    void storedObservationFailures_data() {
        QTest::addColumn<QString>("text11");
        QTest::addColumn<QByteArray>("file"); // "<absent>" for no file
        QTest::addColumn<QString>("text12After");
        QTest::addColumn<QString>("message");
        QTest::newRow("no observation file")
            << "2026-11-20 06:47" << QByteArray("<absent>") << "typed"
            << "Az 'utolsó.txt' fájl nem található!";
        QTest::newRow("empty observation file")
            << "2026-11-20 06:47" << QByteArray() << "" << StoredMessage;
        QTest::newRow("empty new moon")
            << "" << QByteArray("2026-11-23 17:30\r\n") << "2026-11-23 17:30\r\n"
            << StoredMessage;
        QTest::newRow("observation not a date")
            << "2026-11-20 06:47" << QByteArray("holnap\r\n") << "holnap\r\n"
            << StoredMessage;
    }
    void storedObservationFailures() {
        QFETCH(QString, text11);
        QFETCH(QByteArray, file);
        QFETCH(QString, text12After);
        QFETCH(QString, message);
        EvalRig rig(Hu);
        if (file != "<absent>") {
            rig.dir.write("utolso.txt", file);
        }
        rig.dir.write("ujhold.txt", "stored\r\n");
        rig.surface.printed = QStringList{"earlier result"};
        rig.fields.newMoon = text11;
        rig.fields.observation = "typed";
        EvaluateStoredObservation(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, message);
        QCOMPARE(rig.fields.observation, text12After);
        QCOMPARE(rig.fields.newMoon, text11);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
        QCOMPARE(rig.dir.read("utolso.txt"), file);
    }
};

QTEST_GUILESS_MAIN(TestEvaluation)
#include "tst_evaluation.moc"
