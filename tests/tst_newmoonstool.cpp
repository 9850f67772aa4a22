// lunex-newmoons run as a process, as a user runs it.

#include "processrun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lunex::test;

namespace {

Run RunTool(const QStringList &args, const QString &zone = QStringLiteral("UTC"),
            rlim_t fileSizeLimit = 0) {
    return RunProgram(QStringLiteral(LUNEX_NEWMOONS_PATH), args,
                      {{{QStringLiteral("TZ"), zone}}, fileSizeLimit});
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray UsersList = "\xDAjholdak\r\n2024-04-08 20:21\r\nmine\r\n";

} // namespace

class TestNewMoonsTool : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // The published minutes of 2024 (UT) on Budapest's clock: winter +1, summer +2.
    void wholeFileByteForByte() {
        const Run r = RunTool(
            {"--from", "2024", "--to", "2024", "--zone", "Europe/Budapest", path("2024.txt")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(r.out.contains(u"13 újhold"));
        const QByteArray expected = "\xDAjholdak (helyi id\xF5: Europe/Budapest)\r\n"
                                    "2024-01-11 12:57\r\n"
                                    "2024-02-09 23:59\r\n"
                                    "2024-03-10 10:00\r\n"
                                    "2024-04-08 20:21\r\n"
                                    "2024-05-08 05:22\r\n"
                                    "2024-06-06 14:38\r\n"
                                    "2024-07-06 00:57\r\n"
                                    "2024-08-04 13:13\r\n"
                                    "2024-09-03 03:56\r\n"
                                    "2024-10-02 20:49\r\n"
                                    "2024-11-01 13:47\r\n"
                                    "2024-12-01 07:21\r\n"
                                    "2024-12-30 23:27\r\n";
        QCOMPARE(ReadBytes(path("2024.txt")), expected);
    }

    // Without --zone the system's zone; without years, January of last year
    // to December ten years ahead, twelve calendar years whatever today is.
    void defaultsAreTheSystemZoneAndTwelveYears() {
        const Run r = RunTool({path("default.txt")}, QStringLiteral("Europe/Budapest"));
        QCOMPARE(r.code, 0);
        QList<QByteArray> lines = ReadBytes(path("default.txt")).split('\n');
        QCOMPARE(lines.takeFirst(), QByteArray("\xDAjholdak (helyi id\xF5: Europe/Budapest)\r"));
        QCOMPARE(lines.takeLast(), QByteArray()); // after the last CR LF
        QVERIFY(lines.size() >= 12 * 12);
        const int first = lines.first().left(4).toInt();
        const int last = lines.last().left(4).toInt();
        QCOMPARE(last - first, 11);
        QVERIFY(lines.first().startsWith(QByteArray::number(first) + "-01-"));
        QVERIFY(lines.last().startsWith(QByteArray::number(last) + "-12-"));
        for (const QByteArray &line : lines) {
            QCOMPARE(line.size(), 17); // sixteen characters and the CR
        }
    }

    void existingFile_data() {
        QTest::addColumn<bool>("force");
        QTest::newRow("left alone") << false;
        QTest::newRow("replaced with --force") << true;
    }
    void existingFile() {
        QFETCH(bool, force);
        const QString list = path(force ? "forced.txt" : "kept.txt");
        QVERIFY(WriteBytes(list, UsersList));
        QStringList args{"--utc", "--from", "2024", "--to", "2024", list};
        if (force) {
            args.prepend("--force");
        }
        const Run r = RunTool(args);
        // A list left alone is no list written: a script must not take it for one.
        QCOMPARE(r.code, force ? 0 : 1);
        if (force) {
            QVERIFY(ReadBytes(list).startsWith("\xDAjholdak (UTC)\r\n2024-01-11 11:57\r\n"));
        } else {
            QCOMPARE(ReadBytes(list), UsersList);
            QVERIFY(r.out.isEmpty());
            QVERIFY(r.err.contains(u"nem írom felül"));
        }
    }

    void refusesWhatItCannotDo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown zone")
            << QStringList{"--zone", "Europe/Atlantis"} << 2 << "Ismeretlen időzóna";
        QTest::newRow("zone and UTC")
            << QStringList{"--zone", "Europe/Budapest", "--utc"} << 2 << "csak az egyik";
        QTest::newRow("years reversed")
            << QStringList{"--from", "2030", "--to", "2020"} << 2 << "későbbi";
        QTest::newRow("year not read back") << QStringList{"--from", "99"} << 2 << "Hibás év";
        QTest::newRow("past the end of ΔT") << QStringList{"--to", "3001"} << 2 << "Hibás év";
        QTest::newRow("not a year") << QStringList{"--from", "2024a"} << 2 << "Hibás év";
        QTest::newRow("unknown option")
            << QStringList{"--color"} << 2 << "Ismeretlen kapcsoló: '--color'.";
        QTest::newRow("two files") << QStringList{"other.txt"} << 2 << "Egyetlen fájl";
    }
    void refusesWhatItCannotDo() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString list = path("refused.txt");
        const Run r = RunTool(args << list);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(list));
    }

    // Qt reads any other name as a POSIX TZ rule: "Budapest" would give UTC
    // times under a heading that names Budapest.
    void onlyKnownZones_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<bool>("known");
        for (const char *zone : {"Europe/Budapest", "Asia/Tokyo", "UTC", "Etc/UTC", "Etc/GMT+5",
                                 "Europe/Kiev", "Asia/Calcutta", "America/Montreal", "EST5EDT"}) {
            QTest::newRow(zone) << zone << true;
        }
        for (const char *zone : {"Budapest", "Hungary", "CEST", "Foo", "UTC+1", ""}) {
            QTest::newRow(*zone ? zone : "empty") << zone << false;
        }
    }
    void onlyKnownZones() {
        QFETCH(QString, zone);
        QFETCH(bool, known);
        const QString list = path("zone.txt");
        QFile::remove(list);
        const Run r = RunTool({"--zone", zone, "--from", "2024", "--to", "2024", list});
        if (known) {
            QCOMPARE(r.code, 0);
            QVERIFY(ReadBytes(list).startsWith("\xDAjholdak (helyi id\xF5: " + zone.toLatin1() +
                                               ")\r\n2024-01-"));
        } else {
            QCOMPARE(r.code, 2);
            QVERIFY2(r.err.contains(QStringLiteral("Ismeretlen időzóna: '%1'.").arg(zone)),
                     qPrintable(r.err));
            QVERIFY(!QFile::exists(list));
        }
    }

    // Under a file-size limit (ulimit -f) the write fails with the save's
    // message, and the old list stays; the signal would end the program
    // without a word.
    void fileSizeLimit() {
        const QString list = path("limited.txt");
        QVERIFY(WriteBytes(list, UsersList));
        const Run r = RunTool({"--utc", "--force", "--from", "1900", "--to", "2100", list},
                              QStringLiteral("UTC"), 16 * 1024);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"nem menthető: megtelt a lemez, vagy írási hiba történt."),
                 qPrintable(r.err));
        QCOMPARE(ReadBytes(list), UsersList);
    }

    void emptyFileNameIsRefused() {
        const Run r = RunTool({"--utc", ""});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, "A fájl neve üres.\nSegítség: lunex-newmoons --help\n");
    }

    void missingFolderIsReported() {
        const Run r = RunTool({"--utc", path("no-such-folder/ujholdak.txt")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"nem menthető") && r.err.contains(u"no-such-folder"),
                 qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestNewMoonsTool)
#include "tst_newmoonstool.moc"
