// What every program does at its start: Qt's own texts in the user's language,
// and the command line's help and version.

#include "app/timefield.h"
#include "processrun.h"
#include "programs/common/cli.h"

#include <QMenu>
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
