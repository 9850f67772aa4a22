// lunex-crescents run as a process, as a user runs it: the evenings of the
// awkward places, the CSV's shape, the map's colours against the table, and
// the arguments it refuses; and the built-in places it finds them by.

#include "processrun.h"

#include "charts/visibilitychart.h"
#include "clock/civiltime.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "lunar/horizon.h"
#include "lunar/places.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include <sys/stat.h>

using namespace lunex;
using namespace lunex::test;

namespace {

Run RunTool(const QStringList &args, const QString &locale = QStringLiteral("C.UTF-8")) {
    return RunProgram(QStringLiteral(LUNEX_CRESCENTS_PATH), args,
                      {{{QStringLiteral("TZ"), QStringLiteral("Europe/Budapest")},
                        {QStringLiteral("LC_ALL"), locale},
                        {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                        // Qt says in English that it is missing: nothing of that may show.
                        {QStringLiteral("XDG_RUNTIME_DIR"), QString()}},
                       0,
                       120000});
}

using CsvRow = QMap<QString, QString>;

// The rows of a --csv (or --csv-hu) run, each by the header's names.
QList<CsvRow> RunCsv(const QStringList &args, const QString &form = QStringLiteral("--csv")) {
    const Run r = RunTool(QStringList(args) << form);
    if (r.code != 0) {
        qWarning() << r.err;
        return {};
    }
    const bool hungarian = form == u"--csv-hu";
    // The Hungarian form starts with the mark that tells spreadsheets it is UTF-8.
    if (r.outBytes.startsWith("\xEF\xBB\xBF") != hungarian) {
        qWarning() << "byte-order mark wrong";
        return {};
    }
    const QChar separator = hungarian ? u';' : u',';
    QStringList lines =
        r.out.mid(r.out.startsWith(u'\uFEFF') ? 1 : 0).split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines.takeFirst().split(separator);
    QList<CsvRow> rows;
    for (const QString &line : lines) {
        const QStringList cells = line.split(separator);
        if (cells.size() != header.size()) {
            qWarning() << "malformed row:" << line;
            return {};
        }
        CsvRow row;
        for (qsizetype i = 0; i < header.size(); ++i) {
            row.insert(header[i], cells[i]);
        }
        rows.append(row);
    }
    return rows;
}

QDateTime Iso(const QString &text) {
    return QDateTime::fromString(text, Qt::ISODate);
}

// A 6° hill in the west-south-west, as an observer would write it down.
const QByteArray SzegedHill = "# Szeged, a kert v\xE9g\xE9"
                              "b\xF5l\r\n215 0\r\n225 6\r\n255 6\r\n265 0\r\n";

// lunex-crescents copied into a folder of its own, portable, with the place
// chosen in the window (hely.txt) in the Pic beside it. Its path.
QString PortableToolWithPlace(const QTemporaryDir &root, const QByteArray &place) {
    const QString bin = root.filePath("bin");
    QFile hely(bin + "/Pic/hely.txt");
    if (!QDir().mkpath(bin + "/Pic") ||
        !QFile::copy(QStringLiteral(LUNEX_CRESCENTS_PATH), bin + "/lunex-crescents") ||
        !hely.open(QIODevice::WriteOnly) || hely.write(place) != place.size()) {
        qFatal("cannot set up %s", qPrintable(bin));
    }
    return bin + "/lunex-crescents";
}

// The file beside the others of the test, to give to --horizon.
QString WrittenFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    return file.fileName();
}

} // namespace

Q_DECLARE_METATYPE(lunex::Criterion)

class TestCrescentsTool : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // December 2026 from Budapest in Hungarian, the full table.
    void budapestTableInHungarian() {
        const Run r = RunTool({"--place", "budapest", "--from", "2026-12", "--months", "2",
                               "--zone", "Europe/Budapest", "--wide"},
                              QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(u"Holdsarlók: Budapest (47,50° É, 19,04° K, 105 m); idő: "
                                  u"Europe/Budapest\n"),
                 qPrintable(r.out));
        QVERIFY(r.out.contains(u"\nÚjhold: 2026. 12. 09. 1:52\n"));
        QVERIFY(r.out.contains(u"\nÚjhold: 2027. 01. 07. 21:24\n"));
        static const QRegularExpression dec10(
            QStringLiteral("\n2026\\. 12\\. 10\\. .* 38 ó 21 p .* -0,095  C .* ○ +optikai "
                           "eszközzel kell megkeresni"));
        QVERIFY2(dec10.match(r.out).hasMatch(), qPrintable(r.out));
        QVERIFY(r.out.contains(u"A Hold a Nap előtt nyugszik le: nem látható."));
    }

    // The table fits in 100 columns in every kind of evening, with the new
    // moon's line and the notes; --wide adds the criteria's quantities.
    void narrowTableFits_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("locale");
        const auto row = [](const char *name, const char *place, const char *zone,
                            const char *locale) {
            QTest::newRow(name) << QStringList{"--place", place,     "--zone",   zone,
                                               "--from",  "2026-01", "--months", "13"}
                                << QString::fromLatin1(locale);
        };
        // With a skyline round the whole horizon, so that every evening and
        // morning has its crossing, after midnight too.
        const QString skyline = WrittenFile(dir, "korben.txt", "0 2\n90 1\n180 3\n270 0.5\n");
        row("Budapest in Hungarian", "Budapest", "Europe/Budapest", "hu_HU.UTF-8");
        row("Reykjavík, (+1) times", "Reykjavik", "Atlantic/Reykjavik", "hu_HU.UTF-8");
        row("Tromsø, midnight Sun and polar night", "Tromso", "Europe/Oslo", "C.UTF-8");
        row("Longyearbyen in C", "Longyearbyen", "Arctic/Longyearbyen", "C.UTF-8");
        row("Ushuaia, far south", "Ushuaia", "America/Argentina/Ushuaia", "hu_HU.UTF-8");
        for (const char *parts : {"--mornings", "--both"}) {
            const QStringList rows{"--from", "2026-01", "--months", "13", parts};
            QTest::addRow("Budapest %s", parts)
                << (QStringList{"--place", "Budapest", "--zone", "Europe/Budapest"} + rows)
                << "hu_HU.UTF-8";
            QTest::addRow("Reykjavík %s", parts)
                << (QStringList{"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik"} + rows)
                << "hu_HU.UTF-8";
            QTest::addRow("Tromsø %s", parts)
                << (QStringList{"--place", "Tromso", "--zone", "Europe/Oslo"} + rows) << "C.UTF-8";
            QTest::addRow("Reykjavík %s, a skyline", parts)
                << (QStringList{"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik", "--horizon",
                                skyline} +
                    rows)
                << "hu_HU.UTF-8";
        }
        QTest::newRow("Reykjavík, a skyline")
            << QStringList{"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik", "--from",
                           "2026-01", "--months",  "13",     "--horizon",          skyline}
            << "hu_HU.UTF-8";
    }
    void narrowTableFits() {
        QFETCH(QStringList, args);
        QFETCH(QString, locale);
        const Run narrow = RunTool(args, locale);
        QCOMPARE(narrow.code, 0);
        const QStringList lines = narrow.out.split(u'\n');
        for (const QString &line : lines) {
            QVERIFY2(line.size() <= 100 && !line.endsWith(u' '), qPrintable(line));
        }
        // A skyline takes the azimuth's room (and with both, the altitude's).
        const bool skyline = args.contains(u"--horizon");
        QCOMPARE(narrow.out.contains(u"  Mag.°   Az.°  "), !skyline);
        QCOMPARE(narrow.out.contains(u"  Horizont  "), skyline);
        QVERIFY(narrow.out.contains(u"  Y  O  Jel\n"));
        QVERIFY(!narrow.out.contains(u"ARCL°"));
        const Run wide = RunTool(args << "--wide", locale);
        QCOMPARE(wide.code, 0);
        QVERIFY(wide.out.contains(u"  ARCL°  ARCV°") && wide.out.contains(u"W′ (′)"));
        QVERIFY(wide.out.contains(u"  Yallop szerint\n"));
        QVERIFY(wide.out.contains(u"  Mag.°   Az.°  Megv.%  "));
    }

    // An evening's date is the place's own, whichever clock prints its times:
    // a lunation's four evenings fall on consecutive days, each the date of
    // its sunset by the place's mean solar time; only a clock a day ahead of
    // the Sun (Samoa's) names the next. Without --zone or --utc the times are
    // on the place's own clock, and the CSV says which.
    void placesOwnDates_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QDate>("first");   // the new moon's evening
        QTest::addColumn<int>("daysAhead"); // the place's calendar before the Sun's
        QTest::addColumn<QString>("clock"); // the CSV's zone
        const QStringList oneMonth{"--months", "1"};
        QTest::newRow("Newfoundland's latitude on Budapest's clock")
            << QStringList{"--lat",  "50",      "--lon",  "-54",
                           "--from", "2026-09", "--zone", "Europe/Budapest"} +
                   oneMonth
            << QDate(2026, 9, 10) << 0 << "Europe/Budapest";
        QTest::newRow("the prairies on the system's clock (Budapest's)")
            << QStringList{"--lat", "50", "--lon", "-96", "--from", "2026-01"} + oneMonth
            << QDate(2026, 1, 18) << 0 << "Europe/Budapest";
        QTest::newRow("Buenos Aires on Budapest's clock")
            << QStringList{"--place", "Buenos Aires", "--from",
                           "2026-12", "--zone",       "Europe/Budapest"} +
                   oneMonth
            << QDate(2026, 12, 8) << 0 << "Europe/Budapest";
        QTest::newRow("Mexico City on its own clock")
            << QStringList{"--place", "mexikovaros", "--from", "2026-12"} + oneMonth
            << QDate(2026, 12, 8) << 0 << "America/Mexico_City";
        QTest::newRow("Apia's calendar, a day ahead of its Sun, in UTC")
            << QStringList{"--place", "Apia", "--from", "2026-12", "--utc"} + oneMonth
            << QDate(2026, 12, 9) << 1 << "UTC";
    }
    void placesOwnDates() {
        QFETCH(QStringList, args);
        QFETCH(QDate, first);
        QFETCH(int, daysAhead);
        QFETCH(QString, clock);
        const QList<CsvRow> rows = RunCsv(args);
        QCOMPARE(rows.size(), 4);
        for (int i = 0; i < rows.size(); ++i) {
            const CsvRow &row = rows[i];
            QCOMPARE(row["datum"], first.addDays(i).toString(Qt::ISODate));
            QCOMPARE(row["idozona"], clock);
            const QDateTime sunset = QDateTime::fromString(row["napnyugta"], Qt::ISODate);
            QVERIFY2(sunset.isValid(), qPrintable(row["napnyugta"]));
            const QDateTime meanSolar = sunset.toUTC().addSecs(
                qint64(std::lround(row["hosszusag"].toDouble() / 15 * 3600)));
            QCOMPARE(meanSolar.date().addDays(daysAhead), first.addDays(i));
        }
        // The table names the clock too.
        const Run table = RunTool(args);
        QVERIFY2(table.out.section(u'\n', 0, 0).contains(clock), qPrintable(table.out.left(200)));
    }

    // Without --place or --lat/--lon the place chosen in the window counts: its
    // hely.txt from the folder the window keeps its files in, portable (a Pic
    // beside the program) or installed (the user's data folder).
    void usesTheStoredPlace_data() {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QByteArray>("file"); // hely.txt; "<absent>" for none
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shown"); // what the output begins with
        QTest::addColumn<QString>("said");  // on stderr
        const QByteArray szeged("Szeged;46.25;20.14;75\r\n");
        const QStringList csvHu{"--from", "2026-12", "--months", "1", "--csv-hu"};
        QTest::newRow("portable") << true << szeged << QStringList()
                                  << "Holdsarlók: Szeged (46.25° É, 20.14° K, 75 m)"
                                  << "";
        QTest::newRow("installed")
            << false << szeged << QStringList() << "Holdsarlók: Szeged (46.25° É, 20.14° K, 75 m)"
            << "";
        QTest::newRow("none chosen: Budapest")
            << false << QByteArray("<absent>") << QStringList() << "Holdsarlók: Budapest ("
            << "";
        QTest::newRow("unreadable: Budapest, and said")
            << true << QByteArray("Szeged;46,25\r\n") << QStringList() << "Holdsarlók: Budapest ("
            << "A 'hely.txt' fájl nem olvasható: nem NÉV;SZÉLESSÉG;HOSSZÚSÁG;MAGASSÁG alakú";
        QTest::newRow("--place wins")
            << true << szeged << QStringList{"--place", "Eger"} << "Holdsarlók: Eger ("
            << "";
        QTest::newRow("--lat and --lon win")
            << true << szeged << QStringList{"--lat", "1", "--lon", "2"}
            << "Holdsarlók: megadott hely ("
            << "";
        const QByteArray quito("Quito;-0.17;-78.47;2850;America/Guayaquil\r\n");
        QTest::newRow("on its own clock")
            << true << quito << QStringList()
            << "Holdsarlók: Quito (0.17° D, 78.47° Ny, 2,850 m); idő: America/Guayaquil"
            << "";
        QTest::newRow("--zone over the place's own clock")
            << true << quito << QStringList{"--zone", "Asia/Tokyo"}
            << "Holdsarlók: Quito (0.17° D, 78.47° Ny, 2,850 m); idő: Asia/Tokyo"
            << "";
        QTest::newRow("a zone nobody knows: the system's, and said")
            << true << QByteArray("Szeged;46.25;20.14;75;Europe/Szeged\r\n") << QStringList()
            << "Holdsarlók: Szeged (46.25° É, 20.14° K, 75 m); idő: Europe/Budapest"
            << "A 'hely.txt' fájlban megadott időzóna ('Europe/Szeged') ismeretlen";
        QTest::newRow("a ';' in the name, quoted in the Hungarian CSV")
            << true << QByteArray("Tanya; a d\xFBl\xF5n;46.5;20;80\r\n") << csvHu
            << QStringLiteral("hely;szelesseg;") << "";
    }
    void usesTheStoredPlace() {
        QFETCH(bool, portable);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, args);
        QFETCH(QString, shown);
        QFETCH(QString, said);
        QTemporaryDir root;
        const QString bin = root.filePath("bin");
        const QString data = portable ? bin : root.filePath("data/lunex");
        QVERIFY(QDir().mkpath(data + "/Pic") && QDir().mkpath(bin));
        QVERIFY(QFile::copy(QStringLiteral(LUNEX_CRESCENTS_PATH), bin + "/lunex-crescents"));
        if (file != "<absent>") {
            QFile hely(data + "/Pic/hely.txt");
            QVERIFY(hely.open(QIODevice::WriteOnly));
            hely.write(file);
        }
        const Run r = RunProgram(bin + "/lunex-crescents", args,
                                 {{{"TZ", "Europe/Budapest"},
                                   {"LC_ALL", "C.UTF-8"},
                                   {"HOME", root.filePath("home")},
                                   {"XDG_DATA_HOME", root.filePath("data")}}});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(shown), qPrintable(r.out.left(200)));
        QVERIFY2(said.isEmpty() ? r.err.isEmpty() : r.err.startsWith(said), qPrintable(r.err));
        if (args.contains("--csv-hu")) {
            QVERIFY2(
                r.out.section(u'\n', 1, 1).startsWith(u"\"Tanya; a dűlőn\";46,5000;20,0000;80;"),
                qPrintable(r.out.section(u'\n', 1, 1)));
        }
        // Only read: the folder of an installed program's user stays as it was.
        QVERIFY(!QFileInfo::exists(root.filePath("home")));
    }

    // The Moon against the skyline: --horizon FILE, read as leniently as the
    // stored horizont.txt, which goes with the stored place only; a file that
    // cannot be read at all ends the run rather than give a flat horizon's
    // table for the one asked. The table shows a column, the CSV two.
    void skylineFromFileOrStore_data() {
        QTest::addColumn<QByteArray>("place");  // hely.txt
        QTest::addColumn<QByteArray>("stored"); // horizont.txt beside it; "<absent>", "<dir>"
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("skyline");
        QTest::addColumn<QString>("said"); // how stderr begins; empty for nothing
        QTest::addColumn<QString>("jan9"); // in the table's row of 9 January; empty: unchecked
        const QString hill = WrittenFile(dir, "domb.txt", SzegedHill);
        const QString bad = WrittenFile(dir, "rossz.txt", "215 0\nhegy\n225 6\n255 99\n");
        const QString missing = dir.filePath("nincs.txt");
        const QByteArray absent = "<absent>";
        const QByteArray szeged = "Szeged;46.25;20.14;75;Europe/Budapest\r\n";
        QTest::newRow("--horizon, the hill in the west-south-west")
            << szeged << absent << QStringList{"--place", "Szeged", "--horizon", hill} << 0 << true
            << ""
            << "fölött 16:58";
        QTest::newRow("a file's bad lines said, the others stand")
            << szeged << absent << QStringList{"--place", "Szeged", "--horizon", bad} << 0 << true
            << QStringLiteral("A '%1' fájl 2. és 4. sorát kihagyom: ").arg(bad) << "";
        QTest::newRow("a missing file ends the run")
            << szeged << absent << QStringList{"--place", "Szeged", "--horizon", missing} << 1
            << false << QStringLiteral("A(z) '%1' fájl nem található.").arg(missing) << "";
        QTest::newRow("a folder ends the run")
            << szeged << absent << QStringList{"--horizon", dir.path()} << 1 << false
            << QStringLiteral("A(z) '%1' fájl nem olvasható: a fájl helyén egy mappa van.")
                   .arg(dir.path())
            << "";
        QTest::newRow("the stored place brings its skyline")
            << szeged << SzegedHill << QStringList() << 0 << true << ""
            << "fölött 16:58";
        QTest::newRow("--place: a flat horizon")
            << szeged << SzegedHill << QStringList{"--place", "Szeged"} << 0 << false << ""
            << "";
        QTest::newRow("--lat and --lon: a flat horizon")
            << szeged << SzegedHill << QStringList{"--lat", "46.25", "--lon", "20.14"} << 0 << false
            << ""
            << "";
        QTest::newRow("--horizon over the stored one, unread")
            << szeged << QByteArray("<dir>") << QStringList{"--horizon", hill} << 0 << true << ""
            << "fölött 16:58";
        QTest::newRow("a stored one that cannot be read: said, flat")
            << szeged << QByteArray("<dir>") << QStringList() << 0 << false
            << "A 'horizont.txt' fájl nem olvasható: a fájl helyén egy mappa van. Helyette sík"
            << "";
        QTest::newRow("hely.txt unreadable: Budapest without Szeged's skyline")
            << QByteArray("Szeged;46,25\r\n") << SzegedHill << QStringList() << 0 << false
            << "A 'hely.txt' fájl nem olvasható"
            << "";
    }
    void skylineFromFileOrStore() {
        QFETCH(QByteArray, place);
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(bool, skyline);
        QFETCH(QString, said);
        QFETCH(QString, jan9);
        QTemporaryDir root;
        const QString tool = PortableToolWithPlace(root, place);
        const QString pic = root.filePath("bin/Pic");
        if (stored == "<dir>") {
            QVERIFY(QDir().mkpath(pic + "/horizont.txt"));
        } else if (stored != "<absent>") {
            QFile horizont(pic + "/horizont.txt");
            QVERIFY(horizont.open(QIODevice::WriteOnly) && horizont.write(stored) > 0);
        }
        for (const QString form : {"", "--csv"}) {
            QStringList all = args + QStringList{"--from", "2027-01", "--months", "1"};
            if (!form.isEmpty()) {
                all << form;
            }
            const Run r =
                RunProgram(tool, all, {{{"TZ", "Europe/Budapest"}, {"LC_ALL", "C.UTF-8"}}});
            QCOMPARE(r.code, code);
            QVERIFY2(said.isEmpty() ? r.err.isEmpty() : r.err.startsWith(said), qPrintable(r.err));
            if (code != 0) {
                QVERIFY(r.out.isEmpty());
                continue;
            }
            const QString header =
                r.out.section(u'\n', form.isEmpty() ? 3 : 0, form.isEmpty() ? 3 : 0);
            QCOMPARE(header.contains(form.isEmpty() ? u"  Horizont  " : u",hold_horizont_felett,"),
                     skyline);
            QCOMPARE(header.contains(u"hold_horizont_mogott"), skyline && !form.isEmpty());
            if (form.isEmpty() && !jan9.isEmpty()) {
                const QStringList rows = r.out.split(u'\n').filter(QStringLiteral("9 Jan 2027"));
                QCOMPARE(rows.size(), 1);
                QVERIFY2(rows[0].contains(QStringLiteral("  ") + jan9 + QStringLiteral("  ")),
                         qPrintable(rows[0]));
            }
        }
    }

    // Names in hely.txt that a spreadsheet would run as a formula or a
    // terminal as a command: in the CSV they are text, a negative number
    // stays a number, and no control character reaches the CSV or the table.
    // A UTF-8 file without its mark is read as UTF-8; a huge name is cut.
    void hostileStoredNames_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("csvStart"); // the first row of --csv
        QTest::newRow("=HYPERLINK")
            << QByteArray("=HYPERLINK(\"http://x.example\",\"Szeged\");46.25;20.14;75\r\n")
            << "\"'=HYPERLINK(\"\"http://x.example\"\",\"\"Szeged\"\")\",46.2500,20.1400,75,";
        QTest::newRow("+cmd") << QByteArray("+1+cmd|' /c calc'!A0;46.25;20.14;75\r\n")
                              << "'+1+cmd|' /c calc'!A0,46.2500,20.1400,75,";
        QTest::newRow("-, beside a negative longitude")
            << QByteArray("-2+3;46.25;-20.14;75\r\n") << "'-2+3,46.2500,-20.1400,75,";
        QTest::newRow("@") << QByteArray("@SUM(1+1);46.25;20.14;75\r\n")
                           << "'@SUM(1+1),46.2500,20.1400,75,";
        QTest::newRow("tab before =")
            << QByteArray("\t=1+1;46.25;20.14;75\r\n") << "'=1+1,46.2500,20.1400,75,";
        QTest::newRow("a name inside is no formula")
            << QByteArray("Szeged=Tápé;46.25;20.14;75\r\n") << "Szeged=Tápé,46.2500,";
        QTest::newRow("escape sequences, BEL and NUL")
            << (QByteArray("Sze\x1b]0;owned\x07ged\x1b[31m") + '\0' + "x;46.25;20.14;75\r\n")
            << "Sze ]0;owned ged [31m x,46.2500,";
        QTest::newRow("UTF-8 without its mark")
            << QByteArray("Székesfehérvár;47.19;18.41;118\r\n") << "Székesfehérvár,47.1900,";
        QTest::newRow("100,000 letters") << QByteArray(100000, 'A') + ";46.25;20.14;75\r\n"
                                         << QString(100, u'A') + u',';
    }
    void hostileStoredNames() {
        QFETCH(QByteArray, file);
        QFETCH(QString, csvStart);
        QTemporaryDir root;
        const QString tool = PortableToolWithPlace(root, file);
        static const QRegularExpression control(QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f]"));
        for (const QString form : {"--csv", "--csv-hu", "--wide"}) {
            const Run r = RunProgram(tool, {"--from", "2026-12", "--months", "1", "--utc", form},
                                     {{{"TZ", "UTC"}, {"LC_ALL", "C.UTF-8"}}});
            QCOMPARE(r.code, 0);
            QVERIFY2(!r.out.contains(control), qPrintable(form));
            if (form == u"--csv") {
                const QString row = r.out.section(u'\n', 1, 1);
                QVERIFY2(row.startsWith(csvStart), qPrintable(row.left(200)));
            }
        }
    }

    // Evenings that get a status instead of numbers, and the first-sighting marks.
    void evenings_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("yallop");
        QTest::addColumn<QString>("marks"); // naked eye, optical aid
        const QStringList budapest{"--place", "Budapest", "--zone", "Europe/Budapest"};
        const QStringList tromso{"--place", "Tromso", "--zone", "Europe/Oslo"};
        QTest::newRow("the Moon sets first")
            << (budapest + QStringList{"--from", "2026-12"}) << "2026-12-09"
            << "hold_elobb_nyugszik"
            << ""
            << "00";
        QTest::newRow("optical aid first")
            << (budapest + QStringList{"--from", "2026-12"}) << "2026-12-10"
            << "szamolt"
            << "C"
            << "01";
        QTest::newRow("then the eye")
            << (budapest + QStringList{"--from", "2026-12"}) << "2026-12-11"
            << "szamolt"
            << "A"
            << "10";
        QTest::newRow("the eye from class B on")
            << (budapest + QStringList{"--from", "2027-02"}) << "2027-02-07"
            << "szamolt"
            << "B"
            << "11";
        QTest::newRow("best time before the new moon")
            << (budapest + QStringList{"--from", "2026-05"}) << "2026-05-16"
            << "ujhold_elott"
            << ""
            << "00";
        QTest::newRow("both marks on one evening")
            << (budapest + QStringList{"--from", "2026-05"}) << "2026-05-17"
            << "szamolt"
            << "A"
            << "11";
        QTest::newRow("Tromsø, midnight Sun")
            << (tromso + QStringList{"--from", "2026-06"}) << "2026-06-16"
            << "nap_nem_nyugszik"
            << ""
            << "00";
        QTest::newRow("Tromsø, polar night")
            << (tromso + QStringList{"--from", "2026-12"}) << "2026-12-10"
            << "nap_nem_kel"
            << ""
            << "00";
        QTest::newRow("Reykjavík, the Moon does not rise")
            << QStringList{"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik",
                           "--from",  "2026-12"}
            << "2026-12-09"
            << "hold_nem_kel"
            << ""
            << "00";
        QTest::newRow("Tromsø, the Moon does not set")
            << (tromso + QStringList{"--from", "2026-03"}) << "2026-03-22"
            << "hold_nem_nyugszik"
            << ""
            << "00";
        // Mornings: the marks are the last ones, looking back from the new moon.
        const QStringList budapestMornings = budapest + QStringList{"--mornings"};
        const QStringList tromsoMornings = tromso + QStringList{"--mornings"};
        QTest::newRow("morning: last by eye and optical aid")
            << (budapestMornings + QStringList{"--from", "2026-12"}) << "2026-12-07"
            << "szamolt"
            << "A"
            << "11";
        QTest::newRow("morning: the eye's last before optical aid's")
            << (budapestMornings + QStringList{"--from", "2027-01"}) << "2027-01-05"
            << "szamolt"
            << "A"
            << "10";
        QTest::newRow("morning: optical aid's last")
            << (budapestMornings + QStringList{"--from", "2027-01"}) << "2027-01-06"
            << "szamolt"
            << "D"
            << "01";
        QTest::newRow("morning: too thin to see, after the last")
            << (budapestMornings + QStringList{"--from", "2026-12"}) << "2026-12-08"
            << "szamolt"
            << "F"
            << "00";
        QTest::newRow("morning: the Moon rises after the Sun")
            << (budapestMornings + QStringList{"--from", "2026-12"}) << "2026-12-09"
            << "hold_kesobb_kel"
            << ""
            << "00";
        QTest::newRow("morning: best time after the new moon")
            << (tromsoMornings + QStringList{"--from", "2026-03"}) << "2026-03-19"
            << "ujhold_utan"
            << ""
            << "00";
        QTest::newRow("morning: Tromsø, polar night")
            << (tromsoMornings + QStringList{"--from", "2026-12"}) << "2026-12-08"
            << "nap_nem_kel"
            << ""
            << "00";
        QTest::newRow("morning: Tromsø, midnight Sun")
            << (tromsoMornings + QStringList{"--from", "2026-06"}) << "2026-06-14"
            << "nap_nem_nyugszik"
            << ""
            << "00";
        QTest::newRow("morning: Tromsø, the Moon does not set")
            << (tromsoMornings + QStringList{"--from", "2026-09"}) << "2026-09-08"
            << "hold_nem_nyugszik"
            << ""
            << "00";
        QTest::newRow("morning: Reykjavík, the Moon does not rise")
            << QStringList{"--place", "Reykjavik", "--zone",    "Atlantic/Reykjavik",
                           "--from",  "2026-12",   "--mornings"}
            << "2026-12-08"
            << "hold_nem_kel"
            << ""
            << "00";
    }
    void evenings() {
        QFETCH(QStringList, args);
        QFETCH(QString, date);
        QFETCH(QString, status);
        QFETCH(QString, yallop);
        QFETCH(QString, marks);
        const bool mornings = args.contains(u"--mornings");
        const QList<CsvRow> rows = RunCsv(args << "--months"
                                               << "1");
        QCOMPARE(rows.size(), 4);
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const CsvRow &r) { return r["datum"] == date; });
        QVERIFY2(row != rows.end(), qPrintable(date));
        QCOMPARE((*row)["allapot"], status);
        QCOMPARE((*row)["yallop"], yallop);
        const QString first = mornings ? "utolso_" : "elso_";
        QCOMPARE((*row)[first + "szabad_szemmel"] + (*row)[first + "optikai_eszkozzel"], marks);
        // Numbers only where there is a crescent; the sunset (sunrise)
        // wherever the Sun sets (rises).
        QCOMPARE((*row)["q"].isEmpty(), status != u"szamolt");
        QCOMPARE((*row)[mornings ? "napkelte" : "napnyugta"].isEmpty(), status.startsWith(u"nap_"));
        QVERIFY(!row->contains(mornings ? "napnyugta" : "napkelte"));
    }

    // In winter at high latitudes the Moon may stay below the horizon all
    // day: said as such, not as setting before the Sun.
    void moonThatDoesNotRise() {
        const Run r = RunTool({"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik", "--from",
                               "2026-12", "--months", "1"},
                              QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        for (const char *day : {"08", "09", "10"}) {
            QVERIFY2(QRegularExpression(QStringLiteral("\n2026\\. 12\\. %1\\. .*A Hold aznap fel "
                                                       "sem kel: nem látható\\.\n")
                                            .arg(day))
                         .match(r.out)
                         .hasMatch(),
                     qPrintable(r.out));
        }
        QVERIFY(!r.out.contains(u"A Hold a Nap előtt nyugszik le"));
    }

    // Either side of the date line the first evening is the new moon's own
    // civil date, and its sunset falls in that evening, not a day off.
    void dateLine_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("zone");
        QTest::newRow("Apia, UTC+13 west of 180°") << "Apia"
                                                   << "Pacific/Apia";
        QTest::newRow("Suva, east of 180°") << "Suva"
                                            << "Pacific/Fiji";
        QTest::newRow("Honolulu") << "Honolulu"
                                  << "Pacific/Honolulu";
        QTest::newRow("Auckland") << "Auckland"
                                  << "Pacific/Auckland";
    }
    void dateLine() {
        QFETCH(QString, place);
        QFETCH(QString, zone);
        const QList<CsvRow> rows =
            RunCsv({"--place", place, "--zone", zone, "--from", "2026-12", "--months", "2"});
        QCOMPARE(rows.size(), 8);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QDate newMoonDate = Iso(rows[i]["ujhold"]).date();
            QCOMPARE(rows[i]["datum"], newMoonDate.addDays(i % 4).toString(Qt::ISODate));
            const QDateTime sunset = Iso(rows[i]["napnyugta"]);
            QCOMPARE(sunset.date().toString(Qt::ISODate), rows[i]["datum"]);
            QVERIFY2(sunset.time() > QTime(17, 0) && sunset.time() < QTime(21, 0),
                     qPrintable(rows[i]["napnyugta"]));
        }
    }

    // A date whose midnight the zone's clock skipped (summer time beginning
    // at 00:00; Apia's lost 30 December 2011) is still that date: the table
    // opens with the first new moon from that day on, by --zone and by TZ.
    void skippedMidnightIsStillTheDate_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("byTz");
        const char *const days[][2] = {{"America/Sao_Paulo", "2018-11-04"},
                                       {"America/Santiago", "2026-09-06"},
                                       {"Asia/Beirut", "2026-03-29"},
                                       {"Pacific/Apia", "2011-12-30"}};
        for (const auto &[zone, from] : days) {
            QTest::addRow("--zone %s %s", zone, from) << zone << from << false;
            QTest::addRow("TZ=%s %s", zone, from) << zone << from << true;
        }
    }
    void skippedMidnightIsStillTheDate() {
        QFETCH(QString, zone);
        QFETCH(QString, from);
        QFETCH(bool, byTz);
        QStringList args{"--place", "Szeged", "--from", from, "--months", "1", "--csv"};
        if (!byTz) {
            args << "--zone" << zone;
        }
        const Run r =
            RunProgram(QStringLiteral(LUNEX_CRESCENTS_PATH), args,
                       {{{"TZ", byTz ? zone : QStringLiteral("UTC")}, {"LC_ALL", "C.UTF-8"}}});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() > 1, qPrintable(r.err));
        const qsizetype column = lines[0].split(u',').indexOf(u"ujhold");
        const QDate newMoon = Iso(lines[1].split(u',').value(column)).date();
        const QDate day = QDate::fromString(from, Qt::ISODate);
        QVERIFY2(newMoon >= day && newMoon < day.addDays(30), qPrintable(lines[1]));
    }

    // West of Greenwich the sunset falls on the next UT date: the same
    // sunsets, shown in UT on the day after the evening's date, which stays
    // the place's own.
    void westOfGreenwichInUniversalTime() {
        const QStringList args{"--place", "Los Angeles", "--from", "2026-12", "--months", "1"};
        const QList<CsvRow> local = RunCsv(args + QStringList{"--zone", "America/Los_Angeles"});
        const QList<CsvRow> ut = RunCsv(args + QStringList{"--utc"});
        QCOMPARE(local.size(), 4);
        QCOMPARE(ut.size(), 4);
        for (qsizetype i = 0; i < 4; ++i) {
            QCOMPARE(Iso(local[i]["napnyugta"]), Iso(ut[i]["napnyugta"]));
            QCOMPARE(Iso(ut[i]["napnyugta"]).offsetFromUtc(), 0);
            QCOMPARE(ut[i]["datum"], local[i]["datum"]);
            QCOMPARE(Iso(ut[i]["napnyugta"]).date(),
                     QDate::fromString(local[i]["datum"], Qt::ISODate).addDays(1));
        }
        QCOMPARE(local[0]["datum"], QStringLiteral("2026-12-08"));
    }

    // One header, every row as long, '.' decimals in a comma locale, times
    // with their offset, the place on every row.
    void csvShape() {
        const Run r = RunTool({"--lat", "47,5", "--lon", "19.04", "--elev", "105", "--from",
                               "2026-12", "--months", "3", "--zone", "Europe/Budapest", "--csv"},
                              QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 3 * 4);
        const qsizetype columns = lines[0].count(u',');
        static const QRegularExpression time(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:00[+-]\\d\\d:\\d\\d$"));
        for (const QString &line : lines.mid(1)) {
            QCOMPARE(line.count(u','), columns);
            const QStringList cells = line.split(u',');
            QCOMPARE(cells.mid(0, 4), QStringList({"megadott hely", "47.5000", "19.0400", "105"}));
            QVERIFY2(time.match(cells[4]).hasMatch(), qPrintable(cells[4]));
            QVERIFY2(time.match(cells[7]).hasMatch(), qPrintable(cells[7]));
        }
        QVERIFY(lines[2].contains(u",-0.095,C,"));
        // Odeh's V from the place, not from the Earth's centre (3.59 there).
        const QStringList header = lines[0].split(u',');
        const QStringList second = lines[2].split(u',');
        QCOMPARE(second.value(header.indexOf(u"odeh_v")), QStringLiteral("2.69"));
        QCOMPARE(second.value(header.indexOf(u"odeh")), QStringLiteral("B"));
    }

    // A time past midnight carries the day it falls on, the day after the
    // evening's date; the day's own times carry none.
    void clockTimesOfTheNextDay_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("moonset");
        QTest::newRow("Reykjavík, moonset after midnight")
            << QStringList{"--place", "Reykjavik", "--zone", "Atlantic/Reykjavik",
                           "--from",  "2026-03"}
            << "2026. 03. 21."
            << "1:05 (+1)";
        QTest::newRow("Budapest, all on the day")
            << QStringList{"--place", "Budapest", "--zone", "Europe/Budapest", "--from", "2026-12"}
            << "2026. 12. 11."
            << "17:41";
    }
    void clockTimesOfTheNextDay() {
        QFETCH(QStringList, args);
        QFETCH(QString, date);
        QFETCH(QString, moonset);
        const Run r = RunTool(args << "--months"
                                   << "1",
                              QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n').filter(QRegularExpression(u'^' + date));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].contains(u' ' + moonset + u' '), qPrintable(lines[0]));
        QCOMPARE(lines[0].count(u'('), moonset.count(u'('));
    }

    // Where to look and how much is lit, as the library computes them, in
    // both forms: the Hungarian one holds the same cells with decimal commas.
    void csvAgreesWithTheLibrary_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QByteArray>("skyline"); // given with --horizon; empty for none
        QTest::newRow("Budapest") << "Budapest"
                                  << "Europe/Budapest" << QDate(2026, 12, 1) << QByteArray();
        QTest::newRow("Cape Town") << "Cape Town"
                                   << "Africa/Johannesburg" << QDate(2026, 5, 1) << QByteArray();
        QTest::newRow("Tromsø, polar night") << "Tromso"
                                             << "Europe/Oslo" << QDate(2026, 12, 1) << QByteArray();
        QTest::newRow("Szeged, mornings and evenings")
            << "Szeged"
            << "Europe/Budapest" << QDate(2027, 1, 1) << QByteArray();
        QTest::newRow("Cape Town, mornings and evenings")
            << "Cape Town"
            << "Africa/Johannesburg" << QDate(2026, 5, 1) << QByteArray();
        QTest::newRow("Szeged's hill") << "Szeged"
                                       << "Europe/Budapest" << QDate(2027, 1, 1) << SzegedHill;
        QTest::newRow("Szeged's hill and trees, mornings and evenings in UTC")
            << "Szeged"
            << "UTC" << QDate(2027, 1, 1) << QByteArray("0 4\n90 8\n180 1\n250 6\n");
    }
    void csvAgreesWithTheLibrary() {
        QFETCH(QString, place);
        QFETCH(QString, zone);
        QFETCH(QDate, from);
        QFETCH(QByteArray, skyline);
        const bool both = QString(QTest::currentDataTag()).contains(u"mornings");
        QStringList args{"--place",  place, "--zone", zone, "--from", from.toString(Qt::ISODate),
                         "--months", "2"};
        if (both) {
            args << "--both";
        }
        if (!skyline.isEmpty()) {
            args << "--horizon" << WrittenFile(dir, "skyline.txt", skyline);
        }
        const HorizonProfile profile = ReadHorizonList(QString::fromLatin1(skyline)).profile;
        const QList<CsvRow> plain = RunCsv(args);
        const QList<CsvRow> hungarian = RunCsv(args, QStringLiteral("--csv-hu"));
        QList<Evening> rows;
        for (const Lunation &lunation :
             ComputeLunations(FindPlace(place)->place,
                              QDateTime(from, QTime(0, 0), QTimeZone(zone.toUtf8())), 2, profile)) {
            rows << (both ? MorningsAndEvenings(lunation) : lunation.evenings);
        }
        QCOMPARE(plain.size(), rows.size());
        QCOMPARE(hungarian.size(), rows.size());
        QDateTime previousSun;
        const auto agrees = [](const QString &cell, std::optional<double> value) {
            return value ? std::abs(cell.toDouble() - *value) <= 0.005 : cell.isEmpty();
        };
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const Evening &e = rows[i];
            const CsvRow &row = plain[i];
            QCOMPARE(row.value("napszak", "este"), e.isMorning() ? "reggel" : "este");
            const auto moon = e.moonAtBestTime;
            QVERIFY2(
                agrees(row["hold_magassag"], moon ? std::optional(moon->altitude) : std::nullopt),
                qPrintable(row["hold_magassag"]));
            QVERIFY(agrees(row["hold_azimut"], moon ? std::optional(moon->azimuth) : std::nullopt));
            // The age in the minutes from the new moon to the best time, both
            // of them shown to the minute: negative before the new moon.
            QCOMPARE(row["kor_ora"].isEmpty(), !e.age);
            if (e.age) {
                QCOMPARE(row["kor_ora"].toInt() * 60 + row["kor_perc"].toInt(),
                         int(std::lround(e.age->elapsedDays * 1440)));
                QVERIFY(row["kor_perc"].toInt() * e.age->elapsedDays >= 0);
            }
            // A morning's times in its own columns, an evening's in theirs.
            const QString sun = row[e.isMorning() ? "napkelte" : "napnyugta"];
            QCOMPARE(Iso(sun).isValid(), bool(e.sighting.sunEvent));
            if (both) {
                QVERIFY(row[e.isMorning() ? "napnyugta" : "napkelte"].isEmpty());
                QVERIFY(
                    row[e.isMorning() ? "elso_szabad_szemmel" : "utolso_szabad_szemmel"].isEmpty());
            }
            if (Iso(sun).isValid()) {
                QVERIFY2(!previousSun.isValid() || previousSun < Iso(sun), "in time order");
                previousSun = Iso(sun);
            }
            QVERIFY(agrees(row["megvilagitas"], e.illuminatedPercent));
            // The Moon against the skyline, only where one is given.
            QCOMPARE(row.contains("hold_horizont_felett"), !skyline.isEmpty());
            QCOMPARE(row.contains("hold_horizont_mogott"), !skyline.isEmpty());
            if (!skyline.isEmpty()) {
                QCOMPARE(row["hold_horizont_felett"],
                         e.skyline ? (e.skyline->aboveAtBestTime ? "1" : "0") : "");
                const std::optional<double> crossing =
                    e.skyline ? e.skyline->crossingJd : std::nullopt;
                QCOMPARE(Iso(row["hold_horizont_mogott"]),
                         crossing ? RoundedToMinute(FromJulianDay(*crossing)) : QDateTime());
            }
            for (auto cell = row.begin(); cell != row.end(); ++cell) {
                QCOMPARE(QString(hungarian[i][cell.key()]).replace(u',', u'.'), cell.value());
            }
        }
        QVERIFY2(hungarian[0]["szelesseg"].contains(u','), qPrintable(hungarian[0]["szelesseg"]));
    }

    // The year at a glance holds, for each new moon of the year, the evenings
    // the forecast marks as first seen with optical aid and with the eye and
    // the mornings it marks as last seen so, and marks as record chances the
    // crescents nearest their new moon.
    void yearAgreesWithTheForecast_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<int>("year");
        QTest::newRow("Szeged") << "Szeged"
                                << "Europe/Budapest" << 2027;
        QTest::newRow("Cape Town") << "Cape Town"
                                   << "Africa/Johannesburg" << 2027;
        QTest::newRow("Tromsø, polar night and midnight Sun") << "Tromso"
                                                              << "Europe/Oslo" << 2026;
        QTest::newRow("the last year served") << "Budapest"
                                              << "UTC" << 3000;
    }
    void yearAgreesWithTheForecast() {
        QFETCH(QString, place);
        QFETCH(QString, zone);
        QFETCH(int, year);
        const QStringList where{"--place", place, "--zone", zone};
        const QList<CsvRow> rows = RunCsv(where + QStringList{"--year", QString::number(year)});
        QVERIFY(rows.size() == 12 || rows.size() == 13);
        const QList<CsvRow> evenings =
            RunCsv(where + QStringList{"--from", QStringLiteral("%1-01").arg(year), "--months",
                                       QString::number(rows.size())});
        QCOMPARE(evenings.size(), rows.size() * 4);
        // What the year says of each new moon's first evenings, from the forecast's rows.
        const auto firstOf = [&](const QString &newMoon, const QString &mark) {
            for (const CsvRow &e : evenings) {
                if (e["ujhold"] == newMoon && e[mark] == u"1") {
                    return QStringList{
                        e["datum"], e["legjobb_idopont"], e["kor_ora"], e["kor_perc"],
                        e["q"],     e["yallop"],          e["odeh_v"],  e["odeh"]};
                }
            }
            return QStringList(8, QString());
        };
        const auto cells = [](const CsvRow &row, const QString &sight) {
            QStringList out;
            for (const char *name : {"datum", "legjobb_idopont", "kor_ora", "kor_perc", "q",
                                     "yallop", "odeh_v", "odeh"}) {
                out << row[sight + QLatin1String(name)];
            }
            return out;
        };
        // The record chance is the crescent nearest its new moon; none without one.
        const auto youngest = [&](const QString &sight) {
            qsizetype found = -1;
            int least = 0;
            for (qsizetype i = 0; i < rows.size(); ++i) {
                const CsvRow &row = rows[i];
                // Before the new moon, in the morning, the age is negative.
                const int minutes =
                    std::abs(row[sight + "kor_ora"].toInt() * 60 + row[sight + "kor_perc"].toInt());
                if (!row[sight + "datum"].isEmpty() && (found < 0 || minutes < least)) {
                    found = i;
                    least = minutes;
                }
            }
            return found;
        };
        // The mornings, which the forecast's CSV does not hold, from the library.
        // From a minute before the first new moon as shown, rounded to the minute.
        const QList<Lunation> lunations = ComputeLunations(
            FindPlace(place)->place, Iso(rows.first()["ujhold"]).addSecs(-60), rows.size());
        const auto lastMorning = [&](qsizetype i, bool Evening::*mark) {
            for (const Evening &m : lunations[i].mornings) {
                if (m.*mark) {
                    return CivilDateOf(m, FindPlace(place)->place, QTimeZone(zone.toUtf8()))
                        .toString(Qt::ISODate);
                }
            }
            return QString();
        };
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const CsvRow &row = rows[i];
            QCOMPARE(row["ujhold"], evenings[i * 4]["ujhold"]);
            QCOMPARE(Iso(row["ujhold"]).toTimeZone(QTimeZone(zone.toUtf8())).date().year(), year);
            QCOMPARE(cells(row, "este_optikai_"), firstOf(row["ujhold"], "elso_optikai_eszkozzel"));
            QCOMPARE(cells(row, "este_szabad_szem_"),
                     firstOf(row["ujhold"], "elso_szabad_szemmel"));
            QCOMPARE(row["reggel_optikai_datum"], lastMorning(i, &Evening::lastOpticalAid));
            QCOMPARE(row["reggel_szabad_szem_datum"], lastMorning(i, &Evening::lastNakedEye));
            for (const QString sight :
                 {"reggel_optikai_", "reggel_szabad_szem_", "este_optikai_", "este_szabad_szem_"}) {
                QCOMPARE(row[sight + "rekord"] == u"1", i == youngest(sight));
            }
        }
    }

    // The year's calendar holds an event for each evening and morning of the
    // same lunations that the forecast gives a class from A to D.
    void yearCalendar() {
        const QString file = dir.filePath(QStringLiteral("ev.ics"));
        const QStringList where{"--place", "Szeged", "--zone", "Europe/Budapest"};
        const Run r = RunTool(where + QStringList{"--year", "2027", "--ics", file});
        QCOMPARE(r.code, 0);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray calendar = written.readAll();
        QVERIFY(calendar.startsWith("BEGIN:VCALENDAR\r\n"));
        const QList<CsvRow> year = RunCsv(where + QStringList{"--year", "2027"});
        const QList<CsvRow> evenings = RunCsv(
            where + QStringList{"--from", "2027-01", "--months", QString::number(year.size())});
        qsizetype visible = 0;
        for (const CsvRow &e : evenings) {
            visible += e["yallop"] >= u"A" && e["yallop"] <= u"D" ? 1 : 0;
        }
        // And the mornings, which the forecast's CSV does not hold.
        for (const Lunation &l :
             ComputeLunations(FindPlace(u"Szeged")->place, Iso(year.first()["ujhold"]).addSecs(-60),
                              year.size())) {
            for (const Evening &m : l.mornings) {
                visible += m.sighting.status == CrescentStatus::Computed &&
                           m.sighting.yallop <= YallopClass::D;
            }
        }
        QCOMPARE(calendar.count("BEGIN:VEVENT"), visible);
        QCOMPARE(r.out, QStringLiteral("Elkészült: '%1' (%2 esemény: a reggelek és esték, amikor a "
                                       "holdsarló látható).\n")
                            .arg(file)
                            .arg(visible));
    }

    // The terminal's year: four lines a new moon, the record chances marked.
    void yearTable() {
        const Run r = RunTool({"--place", "Szeged", "--zone", "Europe/Budapest", "--year", "2027"},
                              QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(u"Éves áttekintés, 2027: Szeged (46,25° É, 20,14° K"),
                 qPrintable(r.out));
        static const QRegularExpression newMoon(QStringLiteral(
            "\\n2027\\. \\d\\d\\. \\d\\d\\. \\d+:\\d\\d +utolsó reggel, optikai eszközzel"));
        static const QRegularExpression eye(QStringLiteral("\\n +első este, szabad szemmel"));
        QVERIFY(r.out.count(newMoon) >= 12);
        QCOMPARE(r.out.count(eye), r.out.count(newMoon));
        static const QRegularExpression record(QStringLiteral("\\d  \\w  ★\\n"));
        QCOMPARE(r.out.count(record), 4);
    }

    // The map's colour at a few cells is the class (Yallop) or zone (Odeh)
    // the table gives for the same place (sea level, the cell's centre) on the
    // same evening.
    void mapAgreesWithTable_data() {
        QTest::addColumn<Criterion>("criterion");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<QString>("date");
        const Criterion y = Criterion::Yallop, o = Criterion::Odeh;
        QTest::newRow("Pacific, A") << y << -20.5 << -150.5 << "2026-12-09";
        QTest::newRow("equatorial Pacific, B") << y << 0.5 << -120.5 << "2026-12-09";
        QTest::newRow("Caribbean, E") << y << 14.5 << -65.5 << "2026-12-09";
        QTest::newRow("Atlantic, C") << y << -30.5 << -30.5 << "2026-12-09";
        QTest::newRow("South Africa, D") << y << -30.5 << 20.5 << "2026-12-09";
        QTest::newRow("Indian Ocean, F") << y << -20.5 << 80.5 << "2026-12-09";
        QTest::newRow("China, Moon sets first") << y << 30.5 << 110.5 << "2026-12-09";
        QTest::newRow("Odeh: Pacific, A") << o << -20.5 << -150.5 << "2026-12-09";
        QTest::newRow("Odeh: equatorial Pacific, B") << o << 0.5 << -120.5 << "2026-12-09";
        QTest::newRow("Odeh: Caribbean, C") << o << 14.5 << -65.5 << "2026-12-09";
        QTest::newRow("Odeh: Australia, D") << o << -30.5 << 140.5 << "2026-12-09";
        QTest::newRow("Odeh: China, Moon sets first") << o << 30.5 << 110.5 << "2026-12-09";
        // The new moon of 00:52 UT on the next day, not November's: the best
        // time comes before it.
        QTest::newRow("Chile the evening before") << y << -30.5 << -70.5 << "2026-12-08";
        // Mornings: each place's own morning of the date, before the new moon.
        QTest::newRow("morning: Hungary, F") << y << 46.5 << 20.5 << "2026-12-08 reggel";
        QTest::newRow("morning: Hungary, the Moon rises after the Sun")
            << y << 46.5 << 20.5 << "2026-12-09 reggel";
        QTest::newRow("morning: Australia") << y << -33.5 << 151.5 << "2026-12-08 reggel";
        QTest::newRow("morning: Mexico") << y << 19.5 << -99.5 << "2026-12-08 reggel";
        QTest::newRow("Odeh, morning: Australia") << o << -33.5 << 151.5 << "2026-12-08 reggel";
    }
    void mapAgreesWithTable() {
        QFETCH(Criterion, criterion);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(QString, date);
        const bool morning = date.endsWith(u" reggel");
        date = date.left(10);
        constexpr int width = 1440;
        const QString name = criterion == Criterion::Odeh ? "odeh" : "yallop";
        const QString png = dir.filePath(name + date + (morning ? "m" : "") + ".png");
        if (!QFile::exists(png)) {
            QStringList args{"--map",
                             date,
                             "--criterion",
                             name,
                             "--no-texture",
                             "--width",
                             QString::number(width),
                             "--out",
                             png};
            if (morning) {
                args << "--morning";
            }
            const Run r = RunTool(args);
            QCOMPARE(r.code, 0);
        }
        const QImage map(png);
        QVERIFY(!map.isNull());

        // The mornings of the new moon of 9 December, or the evenings.
        QStringList table{"--lat",
                          QString::number(latitude),
                          "--lon",
                          QString::number(longitude),
                          "--elev",
                          "0",
                          "--utc",
                          "--from",
                          morning ? "2026-12-01" : "2026-12-07",
                          "--months",
                          "1"};
        if (morning) {
            table << "--mornings";
        }
        const QList<CsvRow> rows = RunCsv(table);
        // The map's evening (morning) is the place's own date: sunset
        // (sunrise) plus its offset from Greenwich.
        const auto evening = std::find_if(rows.begin(), rows.end(), [&](const CsvRow &r) {
            return Iso(r[morning ? "napkelte" : "napnyugta"])
                       .addSecs(qint64(longitude * 240))
                       .date() == QDate::fromString(date, Qt::ISODate);
        });
        QVERIFY(evening != rows.end());
        const QList<Shade> legend = Legend(criterion);
        const int expected = (*evening)["allapot"] == u"szamolt"
                                 ? int((*evening)[name].at(0).unicode() - u'A')
                                 : NoCrescentShade(criterion);
        // The plain background under each shade; the nearest one must be the expected.
        const QColor pixel = map.pixelColor(PixelOf(latitude, longitude, width));
        const auto distance = [&](const QColor &shade) {
            const double a = shade.alphaF();
            const QColor plain(0xC8, 0xCC, 0xD0);
            const double dr = a * shade.red() + (1 - a) * plain.red() - pixel.red();
            const double dg = a * shade.green() + (1 - a) * plain.green() - pixel.green();
            const double db = a * shade.blue() + (1 - a) * plain.blue() - pixel.blue();
            return dr * dr + dg * dg + db * db;
        };
        int nearest = 0;
        for (int i = 1; i < legend.size(); ++i) {
            if (distance(legend[i].colour) < distance(legend[nearest].colour)) {
                nearest = i;
            }
        }
        QCOMPARE(nearest, expected);
        QVERIFY(distance(legend[nearest].colour) < 12);
    }

    // Each built-in place is found by its own name and by each alias, so that
    // no name hides another; each lies on the globe at a height the command
    // line itself would take.
    void builtInPlacesAreFoundAndPlausible() {
        QVERIFY(BuiltInPlaces.size() > 50);
        for (const NamedPlace &p : BuiltInPlaces) {
            const QString name = p.name.toString();
            QVERIFY(!name.isEmpty());
            QVERIFY2(FindPlace(p.name) && FindPlace(p.name)->name == p.name, qPrintable(name));
            for (const QStringView alias : p.aliases) {
                QVERIFY2(alias.isEmpty() || (FindPlace(alias) && FindPlace(alias)->name == p.name),
                         qPrintable(alias.toString()));
            }
            QVERIFY2(std::abs(p.place.latitude) <= 90 && std::abs(p.place.longitude) <= 180,
                     qPrintable(name));
            QVERIFY2(p.place.elevation >= -500 && p.place.elevation <= 9000, qPrintable(name));
            // Its zone is one the database knows, and its clock runs within
            // three hours of the Sun's there (a day ahead or behind at most).
            const std::optional<QTimeZone> zone = NamedZone(p.zone);
            QVERIFY2(zone, qPrintable(name));
            const double hours = zone->standardTimeOffset(QDateTime(
                                     QDate(2026, 1, 15), QTime(12, 0), QTimeZone::utc())) /
                                     3600.0 -
                                 p.place.longitude / 15;
            QVERIFY2(std::abs(std::remainder(hours, 24.0)) < 3, qPrintable(name));
        }
    }

    // Names as a user types them: capitals, accents and blanks do not matter,
    // a part of a name is not a name.
    void findPlace_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found"); // empty: none
        QTest::newRow("ø spelt as o") << "tromso"
                                      << "Tromsø";
        QTest::newRow("capital Ø") << "TROMSØ"
                                   << "Tromsø";
        QTest::newRow("accent left off") << "becs"
                                         << "Bécs";
        QTest::newRow("alias in capitals") << "WIEN"
                                           << "Bécs";
        QTest::newRow("alias with its accent left off") << "ciudad de mexico"
                                                        << "Mexikóváros";
        QTest::newRow("extra blanks") << "  new   York "
                                      << "New York";
        QTest::newRow("part of a name") << "Buda"
                                        << "";
        QTest::newRow("nothing typed") << ""
                                       << "";
    }
    void findPlace() {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        const std::optional<NamedPlace> place = FindPlace(typed);
        QCOMPARE(place ? place->name.toString() : QString(), found);
    }

    // The list names every place once, with its aliases where it has some,
    // in Hungarian alphabetical order: accents do not count before the letters
    // do, and the digraphs (sz after every s) are letters of their own.
    void placesList_data() {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("later");
        QTest::newRow("letters") << "Anchorage"
                                 << "Apia";
        QTest::newRow("accent of the first letter") << "Újdelhi"
                                                    << "Ushuaia";
        QTest::newRow("accented vowel") << "Bécs"
                                        << "Budapest";
        QTest::newRow("s before sz") << "Sydney"
                                     << "Szeged";
        QTest::newRow("accent inside") << "Szekszárd"
                                       << "Szolnok";
        QTest::newRow("county seat among the world") << "Tatabánya"
                                                     << "Teherán";
    }
    void placesList() {
        QFETCH(QString, earlier);
        QFETCH(QString, later);
        const Run r = RunTool({"--places"}, QStringLiteral("hu_HU.UTF-8"));
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.count(u'\n'), qsizetype(BuiltInPlaces.size()));
        const qsizetype first = r.out.indexOf(u'\n' + earlier + u':');
        QVERIFY(first >= 0 || r.out.startsWith(earlier + u':'));
        QVERIFY2(first < r.out.indexOf(u'\n' + later + u':'), qPrintable(r.out));
        QVERIFY2(r.out.startsWith(u"Anchorage: 61,22° É, 149,90° Ny, 31 m\n"), qPrintable(r.out));
        QVERIFY(r.out.contains(u"\nBudapest: 47,50° É, 19,04° K, 105 m\n"));
        QVERIFY(r.out.contains(u"\nSantiago: 33,45° D, 70,67° Ny, 570 m (Santiago de Chile)\n"));
        QVERIFY(r.out.contains(u"\nFokváros: 33,92° D, 18,42° K, 25 m (Cape Town, Kaapstad)\n"));
    }

    void refusesWhatItCannotDo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option")
            << QStringList{"--color"} << "Ismeretlen kapcsoló: '--color'";
        QTest::newRow("option without value")
            << QStringList{"--place"} << "Hiányzik a(z) '--place'";
        QTest::newRow("made-up zone")
            << QStringList{"--zone", "Mars/Olympus"} << "Ismeretlen időzóna: 'Mars/Olympus'";
        QTest::newRow("zone and UTC") << QStringList{"--zone", "UTC", "--utc"} << "csak az egyik";
        QTest::newRow("unknown place")
            << QStringList{"--place", "Atlantisz"} << "Ismeretlen hely: 'Atlantisz'";
        QTest::newRow("place and coordinates")
            << QStringList{"--place", "Eger", "--lat", "1"} << "csak az egyik";
        QTest::newRow("latitude alone") << QStringList{"--lat", "47"} << "csak együtt";
        QTest::newRow("latitude past the pole")
            << QStringList{"--lat", "91", "--lon", "0"} << "Hibás szélesség: '91'";
        QTest::newRow("longitude not a number")
            << QStringList{"--lat", "1", "--lon", "kelet"} << "Hibás hosszúság: 'kelet'";
        QTest::newRow("month 13") << QStringList{"--from", "2026-13"} << "Hibás dátum: '2026-13'";
        QTest::newRow("no new moon left")
            << QStringList{"--from", "3000-12-31"} << "3000 vége előtt nincs több újhold.";
        QTest::newRow("no lunation") << QStringList{"--months", "0"} << "Hibás szám: '0'";
        QTest::newRow("stray argument") << QStringList{"Budapest"} << "Fölösleges argumentum";
        QTest::newRow("map without file") << QStringList{"--map", "2026-12-10"} << "--out";
        QTest::newRow("map of a month")
            << QStringList{"--map", "2026-12", "--out", "x.png"} << "Hibás dátum: '2026-12'";
        QTest::newRow("step not dividing 180")
            << QStringList{"--map", "2026-12-10", "--step", "0.7", "--out", "x.png"}
            << "Hibás rácsköz: '0.7'";
        QTest::newRow("unknown criterion")
            << QStringList{"--map", "2026-12-10", "--criterion", "danjon", "--out", "x.png"}
            << "Ismeretlen feltétel: 'danjon'";
        QTest::newRow("map with a place")
            << QStringList{"--map", "2026-12-10", "--place", "Eger", "--out", "x.png"}
            << "nem adható meg a --place";
        QTest::newRow("map with CSV")
            << QStringList{"--map", "2026-12-10", "--csv", "--out", "x.png"}
            << "nem adható meg a --csv";
        QTest::newRow("file without map") << QStringList{"--out", "x.png"} << "csak a --map mellé";
        QTest::newRow("region of three numbers")
            << QStringList{"--map", "2026-12-10", "--region", "40,10,50", "--out", "x.png"}
            << "Hibás terület: '40,10,50'";
        QTest::newRow("region with decimal commas")
            << QStringList{"--map", "2026-12-10", "--region", "40,5,10,50,30", "--out", "x.png"}
            << "Hibás terület";
        QTest::newRow("region past the pole")
            << QStringList{"--map", "2026-12-10", "--region", "80,10,95,30", "--out", "x.png"}
            << "Hibás terület: '80,10,95,30'";
        QTest::newRow("region of no width")
            << QStringList{"--map", "2026-12-10", "--region", "40,10,50,10", "--out", "x.png"}
            << "Hibás terület";
        QTest::newRow("region without map")
            << QStringList{"--region", "40,10,50,30"} << "csak a --map mellé";
        QTest::newRow("morning without map")
            << QStringList{"--morning", "--place", "Eger"} << "csak a --map mellé";
        QTest::newRow("map of mornings")
            << QStringList{"--map", "2026-12-10", "--mornings", "--out", "x.png"}
            << "nem adható meg a --mornings";
        QTest::newRow("mornings and both")
            << QStringList{"--mornings", "--both"} << "csak az egyik";
        QTest::newRow("year of mornings")
            << QStringList{"--year", "2027", "--both"} << "nem adható meg a --both";
        QTest::newRow("wide CSV") << QStringList{"--wide", "--csv"} << "csak az egyik";
        QTest::newRow("both CSV forms") << QStringList{"--csv", "--csv-hu"} << "csak az egyik";
        QTest::newRow("year before the new moons served")
            << QStringList{"--year", "999"} << "Hibás év: '999' (1000 és 3000 között)";
        QTest::newRow("year not a number") << QStringList{"--year", "2027a"} << "Hibás év: '2027a'";
        QTest::newRow("year with a count")
            << QStringList{"--year", "2027", "--months", "3"} << "nem adható meg a --months";
        QTest::newRow("year with the full table")
            << QStringList{"--year", "2027", "--wide"} << "nem adható meg a --wide";
        QTest::newRow("calendar beside a CSV")
            << QStringList{"--year", "2027", "--ics", "x.ics", "--csv"}
            << "A --ics mellé nem adható meg a --csv";
        QTest::newRow("map of a year")
            << QStringList{"--map", "2026-12-10", "--year", "2027", "--out", "x.png"}
            << "nem adható meg a --year";
        QTest::newRow("map with a skyline")
            << QStringList{"--map", "2026-12-10", "--horizon", "x.txt", "--out", "x.png"}
            << "nem adható meg a --horizon";
        QTest::newRow("year with a skyline") << QStringList{"--year", "2027", "--horizon", "x.txt"}
                                             << "A --year mellé nem adható meg a --horizon";
        QTest::newRow("calendar with a skyline")
            << QStringList{"--ics", "x.ics", "--horizon", "x.txt"}
            << "A --ics mellé nem adható meg a --horizon";
    }
    // A region's map draws the borders of the GSHHG data where they are: on
    // borders that follow a parallel or a meridian, and nowhere near a
    // place far from any.
    void regionalMapDrawsBorders_data() {
        QTest::addColumn<QString>("region");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<bool>("border");
        QTest::newRow("USA–Canada at 110° W") << "44,-120,54,-100" << 49.0 << -110.0 << true;
        QTest::newRow("USA–Canada at 104° W") << "44,-120,54,-100" << 49.0 << -104.0 << true;
        QTest::newRow("Montana, no border") << "44,-120,54,-100" << 47.0 << -110.0 << false;
        QTest::newRow("Alaska–Yukon at 65° N") << "60,-150,70,-130" << 65.0 << -141.0 << true;
        QTest::newRow("Egypt–Libya at 27° N") << "20,20,32,35" << 27.0 << 25.0 << true;
        QTest::newRow("Egypt–Sudan at 28° E") << "20,20,32,35" << 22.0 << 28.0 << true;
    }
    void regionalMapDrawsBorders() {
        QFETCH(QString, region);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(bool, border);
        const QString png = dir.filePath("region" + region + ".png");
        if (!QFile::exists(png)) {
            const Run r = RunTool({"--map", "2026-12-10", "--region", region, "--step", "1",
                                   "--no-texture", "--width", "720", "--out", png});
            QCOMPARE(r.code, 0);
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        }
        const QImage map(png);
        QVERIFY(!map.isNull());
        const QStringList corners = region.split(u',');
        const MapFrame frame({corners[0].toDouble(), corners[1].toDouble(), corners[2].toDouble(),
                              corners[3].toDouble()},
                             720);
        const QPoint at = frame.pixelOf(latitude, longitude);
        bool dark = false;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = map.pixelColor(at + QPoint(dx, dy));
                dark = dark || std::max({c.red(), c.green(), c.blue()}) < 70;
            }
        }
        QCOMPARE(dark, border);
    }

    void refusesWhatItCannotDo() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = RunTool(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.err.contains(u"Segítség: lunex-crescents --help"));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("x.png")));
    }

    // A table that would run past the years the new moons serve stops at
    // their end, and says so.
    void tableStopsAtTheEndOfTheYears_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("note");
        QTest::newRow("the last lunations, inside") << "3000-06"
                                                    << "1" << QString();
        QTest::newRow("past the end") << "3000-12"
                                      << "1200"
                                      << "A táblázat 3000 végéig tart: a kért 1200 újholdból 1 "
                                         "fér bele.\n";
    }
    void tableStopsAtTheEndOfTheYears() {
        QFETCH(QString, from);
        QFETCH(QString, months);
        QFETCH(QString, note);
        const Run r = RunTool({"--from", from, "--months", months, "--utc", "--csv"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.count(u'\n'), 1 + 4); // one lunation, its four evenings
        QCOMPARE(r.err, note);
    }

    // The Earth's picture is read only from an ordinary file of at most 32
    // MiB, as the store reads its own: the map is drawn on a plain background
    // otherwise, and the reason said.
    void unusableEarthPictures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("FIFO") << "fifo"
                              << "a fájl helyén egy eszköz vagy csővezeték van.";
        QTest::newRow("folder") << "dir"
                                << "a fájl helyén egy mappa van.";
        QTest::newRow("no picture") << "text"
                                    << "nem kép, vagy sérült.";
        QTest::newRow("beyond 32 MiB") << "huge"
                                       << "túl nagy (legfeljebb 32 MiB).";
    }
    void unusableEarthPictures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QTemporaryDir tmp;
        const QString earth = tmp.filePath("earth.jpg");
        if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(earth).constData(), 0644), 0);
        } else if (kind == "dir") {
            QVERIFY(QDir().mkdir(earth));
        } else {
            QFile file(earth);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
            QVERIFY(kind != "huge" || file.resize(32 * 1024 * 1024 + 1));
        }
        // At the narrowest width allowed.
        const QString png = tmp.filePath("map.png");
        const Run r = RunTool({"--map", "2026-12-10", "--step", "10", "--width", "720", "--texture",
                               earth, "--out", png});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, "A Föld képe ('" + earth + "') nem olvasható: " + reason +
                            " Sima háttérrel rajzolom.\n");
        QCOMPARE(QImage(png).width(), 720);
    }

    // The reason a file cannot be written, never "unknown".
    void mapIntoAFileOfTheSystem() {
        const Run r = RunTool({"--map", "2026-12-10", "--step", "10", "--out", "/proc/version"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"'/proc/version' fájl nem menthető: ") &&
                     !r.err.contains(u"ismeretlen"),
                 qPrintable(r.err));
    }

    void mapIntoMissingFolderIsReported() {
        const QString png = dir.filePath(QStringLiteral("no-such-folder/map.png"));
        const Run r = RunTool({"--map", "2026-12-10", "--step", "10", "--out", png});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"nem menthető") && r.err.contains(u"no-such-folder"),
                 qPrintable(r.err));
    }

    void helpAndVersion() {
        const Run help = RunTool({"-h"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.startsWith(u"Használat:"));
        const Run version = RunTool({"--version"});
        QCOMPARE(version.code, 0);
        QVERIFY2(version.out.startsWith(u"lunex-crescents (Lunex) "), qPrintable(version.out));
    }
};

QTEST_GUILESS_MAIN(TestCrescentsTool)
#include "tst_crescentstool.moc"
