// Odd and hostile data files and extreme dates, through the store, the real
// evaluations and the main window: Lunex starts, shows what the file holds,
// refuses what is not a date with its usual message and stays usable.

#include "app/main/mainwindow.h"
#include "evalfakes.h"
#include "messageboxes.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "storehelper.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace lunex;
using namespace lunex::test;

namespace {

const QLocale Hu(QLocale::Hungarian, QLocale::Hungary);
const QString Pad = QString(36, u' ');

// The main window over its own application directory, as a user starts it.
struct Window {
    AppDir dir;
    FakeClock clock;
    std::unique_ptr<MainWindow> main;
    qint64 startMs = 0;

    explicit Window(const QByteArray &listFile) {
        writePhasePictures(dir);
        dir.write("ujholdak.txt", listFile);
        clock.at = Utc(2026, 11, 23, 17, 30, 0);
    }
    void start() {
        QElapsedTimer timer;
        timer.start();
        main = std::make_unique<MainWindow>(dir.portable(), &clock);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        startMs = timer.elapsed();
    }
    template <typename W> W *find(const char *name) const { return main->findChild<W *>(name); }
    QLineEdit *field(const char *name) const { return find<QLineEdit>(name); }
    QComboBox *list() const { return find<QComboBox>("Ujholdak"); }
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QList<PrintedText> printed() const { return main->resultArea()->printed(); }
};

QByteArray manyLines(int count) {
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        lines.append(QString::number(1000 + i % 9000) + QStringLiteral("-11-20 06:47"));
    }
    return ListFileBytes(lines);
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(Hu); }

    void listFileOddities_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("NUL bytes are characters")
            << QByteArray("a\0b\r\n\0", 6)
            << QStringList{QString::fromLatin1("a\0b", 3), QString(1, QChar(0))};
        QTest::newRow("bytes that Windows-1250 leaves undefined")
            << QByteArray("\x81\x83\x88\x90\x98\r\n")
            << QStringList{QStringLiteral("\u0081\u0083\u0088\u0090\u0098")};
        QTest::newRow("CR only") << QByteArray("a\rb\rc") << QStringList{"a", "b", "c"};
        QTest::newRow("LF only is one entry")
            << QByteArray("a\nb\n") << QStringList{QStringLiteral("a\nb\n")};
        QTest::newRow("mixed line ends")
            << QByteArray("a\r\nb\rc\nd\n\r\r\n") << QStringList{"a", "b", "c\nd\n", ""};
        QTest::newRow("no final line end") << QByteArray("2026-11-20 06:47\r\n2026-12-20 01:43")
                                           << QStringList{"2026-11-20 06:47", "2026-12-20 01:43"};
        QTest::newRow("only line ends") << QByteArray("\r\n\r\r\n") << QStringList{"", "", ""};
    }
    void listFileOddities() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        AppDir dir;
        dir.write("ujholdak.txt", file);
        FakeList list;
        FillNewMoonList(dir.path(), list);
        QCOMPARE(list.entries, entries);
    }

    // A FIFO would block the start until some writer came; a device such as
    // /dev/zero never ends. Neither is read: the list stays empty.
    void listThatIsNoFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("link to itself") << "loop";
        QTest::newRow("directory") << "dir";
    }
    void listThatIsNoFile() {
        QFETCH(QString, kind);
        AppDir dir;
        const QString list = dir.pic("ujholdak.txt");
        if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(list).constData(), 0644), 0);
        } else if (kind == "zero") {
            QVERIFY(QFile::link("/dev/zero", list));
        } else if (kind == "loop") {
            QVERIFY(QFile::link(list, list));
        } else {
            QVERIFY(QDir().mkdir(list));
        }
        const HelperRun run = RunHelper({"fill-list", dir.path()}, 20000);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, QStringList{"entries 0"});
    }

    void hugeListFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::newRow("1,000,000 lines") << manyLines(1000000) << 1000000;
        // The first entry is the heading that "OK" leaves alone.
        QTest::newRow("a line of 10 MB")
            << "\xDAjholdak\r\n" + QByteArray(10 * 1024 * 1024, '7') << 2;
    }
    void hugeListFiles() {
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        Window w(file);
        w.start();
        QCOMPARE(w.list()->count(), count);
        QCOMPARE(w.list()->currentIndex(), -1);
        QElapsedTimer timer;
        timer.start();
        w.list()->showPopup();
        QTest::qWait(20);
        w.list()->hidePopup();
        const qint64 popupMs = timer.restart();
        w.list()->setCurrentIndex(count - 1);
        w.click("Command6");
        const qint64 pickMs = timer.elapsed();
        const QString last = SplitListLines(file).constLast();
        QCOMPARE(w.field("Text11")->text(), last);
        QCOMPARE(w.dir.read("ujhold.txt"), EncodeAnsi(last) + "\r\n");
        qInfo("start %lld ms, popup %lld ms, pick and save %lld ms", w.startMs, popupMs, pickMs);
    }

    // Only the list's first 64 MiB are read, in whole lines and at most
    // 2,097,152 of them, and an entry keeps 1,024 characters. The files are
    // sparse, and read in the helper under a cap on its memory: read whole
    // they would take gigabytes. (The window's time and memory: make bench.)
    void oversizedListFiles_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("tailAt");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("measured"); // entries, the longest, the last
        constexpr qint64 MiB = 1024 * 1024;
        const QString date = QString::fromLatin1(QByteArray("2026-11-20 06:47").toHex());
        const QString nuls = QString::fromLatin1(QByteArray(1024, '\0').toHex());
        QTest::newRow("sparse 3 GiB") << QByteArray("\xDAjholdak\r\n2026-11-20 06:47\r\n") << 0LL
                                      << QByteArray() << 3 * 1024 * MiB << "list 2 16 " + date;
        QTest::newRow("a line of 50 million characters")
            << QByteArray("\xDAjholdak\r\n") << 10 + 50000000LL
            << QByteArray("\r\n2026-11-20 06:47") << 0LL << "list 3 1024 " + date;
        QTest::newRow("the line across 64 MiB is left off")
            << QByteArray("a\r\n") << 64 * MiB - 3 << QByteArray("\r\nc\r\n") << 0LL
            << "list 2 1024 " + nuls;
        QTest::newRow("a CR at 64 MiB ends the last line read")
            << QByteArray("a\r\n") << 64 * MiB - 1 << QByteArray("\r\nb") << 0LL
            << "list 2 1024 " + nuls;
        QTest::newRow("a blank line is the last whole one before the cut")
            << QByteArray("\xDAjholdak\r\n2026-11-20 06:47\r\n\r\n") << 64 * MiB - 8
            << QByteArray(16, 'x') << 0LL << "list 3 16 ";
        QTest::newRow("2,097,153 lines") << QByteArray("7\r").repeated(2097153) << 0LL
                                         << QByteArray() << 0LL << "list 2097152 1 37";
    }
    void oversizedListFiles() {
        QFETCH(QByteArray, head);
        QFETCH(qint64, tailAt);
        QFETCH(QByteArray, tail);
        QFETCH(qint64, size);
        QFETCH(QString, measured);
        AppDir dir;
        QFile file(dir.pic("ujholdak.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(head), head.size());
        // Writing past the end leaves a hole that reads as NUL bytes.
        QVERIFY(file.seek(std::max(tailAt, file.pos())));
        QCOMPARE(file.write(tail), tail.size());
        QVERIFY(file.resize(std::max(size, file.size())));
        file.close();
        const HelperRun run = RunHelper({"memory-limit", "1024", "measure-list", dir.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, QStringList{measured});
    }

    // What a single-value file holds reaches its field byte for byte, goes
    // back to the file unchanged, and is refused by the evaluation.
    void oddSingleValueFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b) {
            everyByte.append(char(b));
        }
        QTest::newRow("every byte") << everyByte;
        QTest::newRow("only line breaks") << QByteArray("\r\n\r\n\n\r");
        QTest::newRow("long text") << QByteArray(100000, 'x');
        QTest::newRow("a date, then binary") << QByteArray("2026-11-20 06:47\0\x01\xff", 19);
    }
    void oddSingleValueFiles() {
        QFETCH(QByteArray, file);
        Window w("2026-11-20 06:47");
        w.start();
        const QString text = DecodeAnsi(file);
        w.dir.write("ujhold.txt", file);
        w.dir.write("utolso.txt", file);
        MessageBoxes log;
        w.click("Command3");
        QCOMPARE(w.field("Text11")->text(), text);
        w.click("Command6"); // nothing picked: Text11 is stored as it is, unless blank
        QCOMPARE(w.dir.read("ujhold.txt"), text.trimmed().isEmpty() ? file : file + "\r\n");
        w.click("Command2");
        w.click("Command1");
        QCOMPARE(w.field("Text12")->text(), text);
        QTRY_COMPARE(log.log(),
                     (QStringList{"warning:Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!",
                                  "warning:Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI "
                                  "dátumot!"}));
        QVERIFY(w.printed().isEmpty());
        QCOMPARE(w.dir.read("utolso.txt"), file);
        // The window still works: a real date evaluates.
        w.field("Text11")->setText("2026-11-20 06:47");
        w.click("Command2");
        QCOMPARE(w.printed().size(), 6);
    }

    // New moon and observation at the ends of the calendar and the day,
    // through the evaluation of the stored observation.
    void extremeDates_data() {
        QTest::addColumn<QString>("newMoon");
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QStringList>("ages"); // texts 2 to 4, or the one message
        const auto ages = [](const QString &hm, const QString &dhm, const QString &days) {
            return QStringList{"Holdsarló kora:         " + hm, Pad + dhm, Pad + days + " nap"};
        };
        const QString invalid = "Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!";
        const QString tooFar = "A két időpont túl messze van egymástól!";
        QTest::newRow("first seconds of year 100")
            << "0100-01-01 00:00:00"
            << "0100-01-01 00:00:59" << ages("0 óra 0 perc", "0 nap  0 óra 0 perc", "0,00");
        QTest::newRow("last day of year 9999")
            << "9999-12-31 00:00:00"
            << "9999-12-31 23:59:59" << ages("23 óra 59 perc", "0 nap  23 óra 59 perc", "0,96");
        QTest::newRow("observation before the new moon, last and first second")
            << "2026-11-20 23:59:59"
            << "2026-11-20 00:00:00" << ages("23 óra 59 perc", "0 nap  23 óra 59 perc", "0,96");
        QTest::newRow("across a leap day")
            << "2024-02-28 12:00"
            << "2024-03-01 12:00" << ages("48 óra 0 perc", "2 nap  0 óra 0 perc", "2,00");
        QTest::newRow("29 February 2000")
            << "2000-02-29 00:00"
            << "2000-03-01 00:00" << ages("24 óra 0 perc", "1 nap  0 óra 0 perc", "1,00");
        QTest::newRow("29 February 104")
            << "0104-02-29 06:00"
            << "0104-03-01 06:00" << ages("24 óra 0 perc", "1 nap  0 óra 0 perc", "1,00");
        QTest::newRow("no 29 February 1900") << "1900-02-29 00:00"
                                             << "1900-03-01 00:00" << QStringList{invalid};
        QTest::newRow("no 29 February 100") << "0100-03-01 00:00"
                                            << "0100-02-29 00:00" << QStringList{invalid};
        QTest::newRow("24:00 is no time") << "2026-11-20 06:47"
                                          << "2026-11-20 24:00" << QStringList{invalid};
        QTest::newRow("year 99") << "0099-12-31 23:59"
                                 << "2026-11-20 06:47" << QStringList{invalid};
        QTest::newRow("year 10000") << "2026-11-20 06:47"
                                    << "10000-01-01 00:00" << QStringList{invalid};
        QTest::newRow("last minute that fits 32 bits")
            << "2000-01-01 00:00"
            << "6083-01-23 02:07:59"
            << ages("35791394 óra 7 perc", "1491308 nap  2 óra 7 perc", "1491308,08");
        QTest::newRow("first minute that does not") << "2000-01-01 00:00"
                                                    << "6083-01-23 02:08" << QStringList{tooFar};
        QTest::newRow("year 9999 back to year 100") << "9999-12-31 23:59:59"
                                                    << "0100-01-01 00:00:00" << QStringList{tooFar};
    }
    void extremeDates() {
        QFETCH(QString, newMoon);
        QFETCH(QString, observation);
        QFETCH(QStringList, ages);
        EvalRig rig(Hu);
        rig.fields.newMoon = newMoon;
        rig.dir.write("utolso.txt", observation.toLatin1() + "\r\n");
        EvaluateStoredObservation(rig.ports);
        if (ages.size() == 1) {
            QCOMPARE(rig.messages.shown.size(), 1);
            QCOMPARE(rig.messages.shown[0].text, ages[0]);
            QVERIFY(rig.surface.printed.isEmpty());
            QCOMPARE(rig.picture.loads, 0);
            QCOMPARE(rig.dir.read("ujhold.txt"), QByteArray("<absent>"));
            return;
        }
        QVERIFY2(rig.messages.shown.isEmpty(), qPrintable(rig.messages.shown.value(0).text));
        QCOMPARE(rig.surface.printed.size(), 5);
        QCOMPARE(rig.surface.printed.mid(1, 3),
                 (QStringList{"2:" + ages[0], "3:" + ages[1], "4:" + ages[2]}));
        QCOMPARE(rig.dir.read("ujhold.txt"), newMoon.toLatin1() + "\r\n");
    }

    // The minute count that overflows, on the window: its message, and
    // nothing printed, shown or stored. Then the same window at the end of
    // year 9999 evaluates, saves and reloads the moment.
    void overflowOnTheWindow() {
        Window w("");
        w.clock.at = Utc(9999, 12, 31, 23, 59, 59);
        w.start();
        w.field("Text11")->setText("0100-01-01 00:00");
        w.field("Text12")->setText("typed");
        MessageBoxes log;
        w.click("Command2");
        QTRY_COMPARE(log.log(), QStringList{"critical:A két időpont túl messze van egymástól!"});
        QVERIFY(w.printed().isEmpty());
        QVERIFY(w.find<QLabel>("Picture1")->pixmap().isNull());
        QCOMPARE(w.field("Text12")->text(), "typed");
        QVERIFY(!QFile::exists(w.dir.pic("ujhold.txt")));

        w.field("Text11")->setText("9999-12-30 23:00");
        w.click("Command2");
        QCOMPARE(w.printed().size(), 6);
        QCOMPARE(w.printed().at(2).text, "Holdsarló kora:         24 óra 59 perc");
        QCOMPARE(w.field("Text12")->text(), "9999. 12. 31. 23:59:59");
        w.click("Command14");
        w.click("Command1");
        QCOMPARE(w.printed().at(0).text, "Megfigyelés ideje:    9999. 12. 31. 23:59:59");
        QCOMPARE(w.printed().at(1).text, "Holdsarló kora:         24 óra 59 perc");
        QCOMPARE(log.count(), 1);
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
