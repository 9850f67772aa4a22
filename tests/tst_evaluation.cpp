#include "evalfakes.h"
#include "lunar/textforms.h"
#include "store/fileio.h"

#include <QTest>

using namespace lunex;
using namespace lunex::test;

namespace {

const QString Pad = QString(36, u' ');
const QString MostMessage = QStringLiteral("Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!");
const QString StoredMessage =
    QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!");

QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return MakeDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

const QLocale Hu(QLocale::Hungarian, QLocale::Hungary);

} // namespace

class TestEvaluation : public QObject {
    Q_OBJECT

private slots:
    void presentMomentDrawsSavesAndFillsObservation() {
        EvalRig rig(Hu);
        rig.fields.t11 = "2026-11-20 06:47";
        rig.fields.t12 = "old";
        rig.clock.at = dt(2026, 11, 23, 17, 30, 0);
        EvaluatePresentMoment(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        QCOMPARE(rig.surface.printed,
                 (QStringList{"700,1265:Megfigyelés ideje:    2026. 11. 23.", "5020,1265:17:30:00",
                              "700,2100:Holdsarló kora:         82 óra 43 perc",
                              "700,2800:" + Pad + "3 nap  10 óra 43 perc",
                              "700,3300:" + Pad + "3,42 nap",
                              "700,5050:" + Pad + "Növekvő sarló  --  13,9 %"}));
        QCOMPARE(rig.picture.loads, 1);
        QCOMPARE(rig.picture.shown.size(), QSize(1, 1));
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        // The observation box holds the evaluated moment, and it converts back.
        QCOMPARE(rig.fields.t12, QStringLiteral("2026. 11. 23. 17:30:00"));
        QCOMPARE(ParseDateTimeText(rig.fields.t12, Hu), rig.clock.at);
        QVERIFY(!QFile::exists(rig.dir.pic("utolso.txt")));
    }

    void presentMomentBeforeTheNewMoon() {
        EvalRig rig(Hu);
        rig.fields.t11 = "2026-11-20 06:47";
        rig.clock.at = dt(2026, 11, 17, 1, 59);
        EvaluatePresentMoment(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        QCOMPARE(rig.surface.printed.at(2), "700,2100:Holdsarló kora:         76 óra 48 perc");
        QVERIFY(rig.surface.printed.at(5).startsWith("700,5050:" + Pad + "Fogyó sarló  --  "));
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
        rig.fields.t11 = text11;
        rig.fields.t12 = "typed";
        rig.clock.at = dt(2026, 11, 23, 17, 30);
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, MostMessage);
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Warning);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.surface.clears, 0);
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.fields.t12, "typed");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
    }

    // What can fail inside the evaluation is checked before anything changes.
    void failuresBeforeDrawingChangeNothing_data() {
        QTest::addColumn<QString>("text11");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing phase picture") << "2026-11-20 06:47" << dt(2026, 11, 23, 17, 30)
                                               << "A(z) '010-novekvo.gif' kép nem tölthető be!";
        QTest::newRow("times too far apart")
            << "0100-01-01 00:00" << dt(9999, 1, 1) << "A két időpont túl messze van egymástól!";
    }
    void failuresBeforeDrawingChangeNothing() {
        QFETCH(QString, text11);
        QFETCH(QDateTime, now);
        QFETCH(QString, message);
        EvalRig rig(Hu);
        QFile::remove(rig.dir.pic("010-novekvo.gif"));
        rig.dir.write("ujhold.txt", "stored\r\n");
        rig.surface.printed = QStringList{"earlier result"};
        rig.fields.t11 = text11;
        rig.fields.t12 = "typed";
        rig.clock.at = now;
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, message);
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.fields.t12, "typed");
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
    }

    void unwritableNewMoonFileKeepsTheResults() {
        EvalRig rig(Hu);
        QDir(rig.dir.pic("")).mkdir("ujhold.txt");
        rig.fields.t11 = "2026-11-20 06:47";
        rig.clock.at = dt(2026, 11, 23, 17, 30);
        EvaluatePresentMoment(rig.ports);
        QCOMPARE(rig.surface.printed.size(), 6);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text,
                 QStringLiteral("Az 'ujhold.txt' fájl nem menthető: a fájl helyén egy mappa van."));
        QCOMPARE(rig.messages.shown[0].icon, MessageIcon::Critical);
    }

    void storedObservationWorkedExample() {
        EvalRig rig(Hu);
        rig.fields.t11 = "2026-11-20 06:47";
        rig.fields.t12 = "unsaved typing";
        rig.dir.write("utolso.txt", "2026-11-23 17:30\r\n");
        EvaluateStoredObservation(rig.ports);
        QVERIFY(rig.messages.shown.isEmpty());
        const QStringList expected{"700,1265:Megfigyelés ideje:    2026. 11. 23. 17:30:00",
                                   "700,2100:Holdsarló kora:         82 óra 43 perc",
                                   "700,2800:" + Pad + "3 nap  10 óra 43 perc",
                                   "700,3300:" + Pad + "3,42 nap",
                                   "700,5050:" + Pad + "Növekvő sarló  --  13,7 %"};
        QCOMPARE(rig.surface.printed, expected);
        QCOMPARE(rig.fields.t12, "2026-11-23 17:30\r\n");
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
        rig.fields.t11 = text11;
        rig.fields.t12 = "typed";
        EvaluateStoredObservation(rig.ports);
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.messages.shown[0].text, message);
        QCOMPARE(rig.fields.t12, text12After);
        QCOMPARE(rig.fields.t11, text11);
        QCOMPARE(rig.surface.printed, QStringList{"earlier result"});
        QCOMPARE(rig.picture.loads, 0);
        QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("stored\r\n"));
        QCOMPARE(rig.dir.read("utolso.txt"), file);
    }
};

QTEST_GUILESS_MAIN(TestEvaluation)
#include "tst_evaluation.moc"
