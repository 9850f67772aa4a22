// What every program does at its start: Qt's own texts in the user's language
// for the window, the command line's help and version and its refusals in
// Lunex's own words, and the system's zone.

#include "app/main/timefield.h"
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

// An empty DISPLAY for xcb: a program that opened a window would fail.
Run RunIn(const QString &locale, const QString &program, const QStringList &args,
          const QString &display) {
    return RunProgram(
        QStringLiteral(LUNEX_PROGRAM_DIR "/") + program, args,
        {{{"LC_ALL", locale}, {"LANG", locale}, {"QT_QPA_PLATFORM", display}, {"DISPLAY", ""}}});
}

// Every message in Lunex's own Hungarian, in a locale that Qt has texts for
// and in one it has none for.
const QStringList Locales{"hu_HU.UTF-8", "C.UTF-8"};

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
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("start"); // how the output begins
        for (const QString &locale : Locales) {
            for (const QString program :
                 {"lunex", "lunex-age", "lunex-newmoons", "lunex-crescents"}) {
                for (const char *option : {"-h", "--help"}) {
                    QTest::addRow("%s %s %s", qPrintable(locale), qPrintable(program), option)
                        << locale << program << option << "Használat:";
                }
                QTest::addRow("%s %s --version", qPrintable(locale), qPrintable(program))
                    << locale << program << "--version" << program + " (Lunex) " LUNEX_VERSION "\n";
            }
        }
    }
    void helpAndVersion() {
        QFETCH(QString, locale);
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, start);
        const Run r = RunIn(locale, program, {option}, "xcb");
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(start), qPrintable(r.out));
        QVERIFY2(!r.out.contains("Usage") && !r.out.contains("Options:") &&
                     !r.out.contains("Arguments"),
                 qPrintable(r.out));
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

    // `lunex-age -h` was once read as a date; what is no option now is refused,
    // in Lunex's words whatever the locale.
    void refusedCommandLines_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message"); // before "Segítség: PROGRAM --help"
        const struct {
            const char *name, *program;
            QStringList args;
            const char *message;
        } rows[] = {
            {"an argument", "lunex", {"x"}, "Fölösleges argumentum: 'x'."},
            {"an unknown option", "lunex", {"--bogus"}, "Ismeretlen kapcsoló: '--bogus'."},
            {"an unknown short option",
             "lunex-newmoons",
             {"-x", "f.txt"},
             "Ismeretlen kapcsoló: '-x'."},
            {"unknown options", "lunex-age", {"--bogus", "-y"}, "Ismeretlen kapcsoló: '--bogus'."},
            {"a value missing",
             "lunex-crescents",
             {"--lat"},
             "Hiányzik a(z) '--lat' kapcsoló értéke."},
            {"a value missing at the end",
             "lunex-newmoons",
             {"f.txt", "--zone"},
             "Hiányzik a(z) '--zone' kapcsoló értéke."},
            {"a value for a switch",
             "lunex-crescents",
             {"--utc=1"},
             "A(z) '--utc' kapcsoló nem kap értéket."},
            {"a value for help",
             "lunex-age",
             {"--help=x"},
             "A(z) '--help' kapcsoló nem kap értéket."},
        };
        for (const QString &locale : Locales) {
            for (const auto &row : rows) {
                QTest::addRow("%s, %s, %s", qPrintable(locale), row.program, row.name)
                    << locale << row.program << row.args << row.message;
            }
        }
    }
    void refusedCommandLines() {
        QFETCH(QString, locale);
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        // Without a display: the command line is refused before one is sought.
        const Run r = RunIn(locale, program, args, "xcb");
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, message + "\nSegítség: " + program + " --help\n");
    }

    // Help and version to a full disk: said, and a failure, as the tables.
    void helpToAFullDisk_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        for (const char *program : {"lunex", "lunex-age", "lunex-newmoons", "lunex-crescents"}) {
            for (const char *option : {"--help", "--version"}) {
                QTest::addRow("%s %s", program, option) << program << option;
            }
        }
    }
    void helpToAFullDisk() {
        QFETCH(QString, program);
        QFETCH(QString, option);
        RunOptions options{{{"LC_ALL", "C.UTF-8"}, {"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}}};
        options.outputFile = QStringLiteral("/dev/full");
        const Run r =
            RunProgram(QStringLiteral(LUNEX_PROGRAM_DIR "/") + program, {option}, options);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(u"A kimenet nem írható ki"), qPrintable(r.err));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
