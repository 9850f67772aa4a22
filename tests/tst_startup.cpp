// What every program does at its start: Qt's own texts in the user's language,
// and the command line's help and version.

#include "app/timefield.h"
#include "processrun.h"
#include "programs/common/cli.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace lunex;
using namespace lunex::test;

namespace {

Run RunHungarian(const QString &program, const QStringList &args, const QString &display) {
    // An empty DISPLAY for xcb: a program that opened a window would fail.
    return RunProgram(QStringLiteral(LUNEX_PROGRAM_DIR "/") + program, args,
                      {{{"LC_ALL", "hu_HU.UTF-8"},
                        {"LANG", "hu_HU.UTF-8"},
                        {"QT_QPA_PLATFORM", display},
                        {"DISPLAY", ""}}});
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void qtTextsInHungarian() {
        QVERIFY(cli::InstallQtTranslations(QLocale(QLocale::Hungarian, QLocale::Hungary)));
        TimeField field;
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << action->text().section(u'\t', 0, 0);
            }
        }
        QCOMPARE(texts, (QStringList{"&Visszavonás", "Új&ra", "&Kivágás", "&Másolás",
                                     "&Beillesztés", "Törlés", "Összes kijelölése"}));
    }

    // Help and version print and end, with no window system at hand.
    void helpAndVersion_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("start"); // how the output begins
        for (const QString program : {"lunex", "lunex-age", "lunex-newmoons"}) {
            for (const char *option : {"-h", "--help"}) {
                QTest::addRow("%s %s", qPrintable(program), option)
                    << program << option << "Használat: ";
            }
            QTest::addRow("%s --version", qPrintable(program))
                << program << "--version" << program + " (Lunex) " LUNEX_VERSION "\n";
        }
    }
    void helpAndVersion() {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, start);
        const Run r = RunHungarian(program, {option}, "xcb");
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(start), qPrintable(r.out));
        QVERIFY2(!r.out.contains("Usage:") && !r.out.contains("Options:"), qPrintable(r.out));
        QCOMPARE(r.err, QString());
    }

    // One rule for the system's zone in every program: the zone a form of TZ
    // names shows in each one's output, and each says when it does not know it.
    void systemZoneInEveryProgram_data() {
        QTest::addColumn<QString>("tz");
        QTest::addColumn<QString>("age");  // from 01:30 to 03:30 on the day summer time begins
        QTest::addColumn<QString>("zone"); // as the table and the list name it
        QTest::newRow("a zone file's path") << "/usr/share/zoneinfo/Europe/Budapest"
                                            << "1 óra 0 perc"
                                            << "Europe/Budapest";
        QTest::newRow("/etc/localtime's kind of link") << ":/usr/share/zoneinfo/Etc/UTC"
                                                       << "2 óra 0 perc"
                                                       << "Etc/UTC";
        QTest::newRow("three hours west") << "UTC+3"
                                          << "2 óra 0 perc"
                                          << "UTC-03";
        QTest::newRow("unknown") << "Europe/Atlantis"
                                 << "2 óra 0 perc"
                                 << "";
    }
    void systemZoneInEveryProgram() {
        QFETCH(QString, tz);
        QFETCH(QString, age);
        QFETCH(QString, zone);
        const QTemporaryDir dir;
        const RunOptions options{{{"TZ", tz}, {"LC_ALL", "hu_HU.UTF-8"}}};
        const QString program = QStringLiteral(LUNEX_PROGRAM_DIR "/");
        const Run ages =
            RunProgram(program + "lunex-age", {"2025-03-30 01:30", "2025-03-30 03:30"}, options);
        const Run table = RunProgram(program + "lunex-crescents",
                                     {"--from", "2026-12", "--months", "1"}, options);
        const QString list = dir.filePath("ujholdak.txt");
        const Run newMoons = RunProgram(program + "lunex-newmoons",
                                        {"--from", "2026", "--to", "2026", list}, options);
        QFile written(list);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray heading = written.readLine();
        QCOMPARE(ages.out.split(u'\n').value(1), "Holdsarló kora:         " + age);
        QVERIFY2(table.out.section(u'\n', 0, 0)
                     .endsWith("; idő: " + (zone.isEmpty() ? "világidő (UTC)" : zone)),
                 qPrintable(table.out));
        QCOMPARE(heading, "\xDAjholdak (helyi id\xF5: " +
                              (zone.isEmpty() ? "UTC" : zone).toLatin1() + ")\r\n");
        const QString warning =
            zone.isEmpty() ? "A rendszer időzónája ('" + tz +
                                 "') ismeretlen; a Lunex helyette világidőt (UTC) használ.\n"
                           : QString();
        for (const Run &r : {ages, table, newMoons}) {
            QCOMPARE(r.code, 0);
            QCOMPARE(r.err, warning);
        }
    }

    // `lunex-age -h` was once read as a date; what is no option now is refused.
    void refusedCommandLines_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("lunex, an argument")
            << "lunex" << QStringList{"x"}
            << "Fölösleges argumentum: 'x'.\nSegítség: lunex --help\n";
        QTest::newRow("lunex-age, an unknown option")
            << "lunex-age" << QStringList{"--bogus"}
            << "Hibás parancssor: Ismeretlen kapcsoló: „bogus”.\nSegítség: lunex-age --help\n";
    }
    void refusedCommandLines() {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = RunHungarian(program, args, "offscreen");
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.endsWith(message), qPrintable(r.err));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
