#include "logbook/logsummary.h"
#include "logbook/oal.h"
#include "lunar/evenings.h"
#include "lunar/fundamentals.h"
#include "lunar/newmoon.h"
#include "lunar/sightingprediction.h"
#include "store/logfile.h"
#include "storehelper.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

using namespace lunex;

namespace {

const QTimeZone Budapest("Europe/Budapest");

LogEntry MakeEntry(const QDateTime &moment, SightingResult result, const QString &text) {
    LogEntry e;
    e.moment = moment;
    e.placeName = text;
    e.place = {46.25, 20.14, 75};
    e.result = result;
    e.aid = OpticalAid::Binoculars;
    e.aidText = QStringLiteral("10×50");
    e.sky = SkyCondition::Haze;
    e.transparency = 2;
    e.observer = QStringLiteral("Kovács Éva");
    e.notes = text;
    return Predicted(e);
}

QString LogPath(const QString &dir) {
    return dir + QStringLiteral("/Pic/naplo.csv");
}

const QDateTime TheEvening(QDate(2027, 3, 9), QTime(18, 20), Budapest);

// The file's row of an entry at Szeged on that evening, without its line end.
QByteArray ValidLine() {
    const QByteArray bytes = LogFileBytes(
        {{MakeEntry(TheEvening, SightingResult::NakedEye, QStringLiteral("Szeged")), {}}});
    return bytes.split('\n').at(1).chopped(1);
}

bool SameEntry(const LogEntry &a, const LogEntry &b) {
    const SightingPrediction &p = a.prediction, &r = b.prediction;
    return a.moment == b.moment && a.moment.timeZone() == b.moment.timeZone() &&
           a.placeName == b.placeName && a.place.latitude == b.place.latitude &&
           a.place.longitude == b.place.longitude && a.place.elevation == b.place.elevation &&
           a.result == b.result && a.aid == b.aid && a.aidText == b.aidText && a.sky == b.sky &&
           a.transparency == b.transparency && a.observer == b.observer && a.notes == b.notes &&
           p.direction == r.direction && p.newMoon == r.newMoon && p.ageMinutes == r.ageMinutes &&
           p.lagMinutes == r.lagMinutes && p.moon.altitude == r.moon.altitude &&
           p.moon.azimuth == r.moon.azimuth && p.arcl == r.arcl && p.widthYallop == r.widthYallop &&
           p.q == r.q && p.yallop == r.yallop && p.v == r.v && p.odeh == r.odeh;
}

} // namespace

class TestLog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temporary_;
    QString dir_;

private slots:
    void init() {
        temporary_ = std::make_unique<QTemporaryDir>();
        dir_ = temporary_->path();
        QVERIFY(QDir(dir_).mkpath(QStringLiteral("Pic")));
    }

    void keepsEveryEntryAsTyped_data() {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        const QDateTime evening(QDate(2027, 3, 9), QTime(18, 20), Budapest);
        QTest::newRow("naked eye, accents")
            << evening << int(SightingResult::NakedEye) << QStringLiteral("Árvíztűrő tükörfúrógép");
        QTest::newRow("aid, then the eye; outside Windows-1250")
            << evening.addDays(1) << int(SightingResult::AidThenNakedEye)
            << QStringLiteral("Tromsø – 東京 🌙");
        QTest::newRow("aid only; separators, quotes, line breaks")
            << evening.addDays(2) << int(SightingResult::OpticalAidOnly)
            << QStringLiteral("a, \"b\"; c\r\nd\ne");
        QTest::newRow("not seen; blanks kept")
            << evening.addDays(29) << int(SightingResult::NotSeen)
            << QStringLiteral("  két szóköz  ");
        QTest::newRow("morning, UTC")
            << QDateTime(QDate(2027, 2, 5), QTime(5, 40), QTimeZone::utc())
            << int(SightingResult::NakedEye) << QStringLiteral("reggel");
        QTest::newRow("local mean time, an offset of seconds")
            << QDateTime(QDate(1880, 3, 9), QTime(18, 20), Budapest) << int(SightingResult::NotSeen)
            << QStringLiteral("Budapest 1880");
        QTest::newRow("an offset without a zone name")
            << QDateTime(QDate(2027, 3, 9), QTime(18, 20), QTimeZone(3600))
            << int(SightingResult::NotSeen) << QStringLiteral("idopont,hely");
    }
    void keepsEveryEntryAsTyped() {
        QFETCH(QDateTime, moment);
        QFETCH(int, result);
        QFETCH(QString, text);
        LogEntry plain =
            MakeEntry(moment.addDays(-1), SightingResult::NotSeen, QStringLiteral("x"));
        plain.transparency.reset();
        plain.aid = OpticalAid::None;
        plain.aidText.clear();
        const QList<LogRow> rows{{plain, {}},
                                 {MakeEntry(moment, SightingResult(result), text), {}}};
        QCOMPARE(SaveObservationLog(dir_, rows), FileProblem::None);

        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.contains(text.toUtf8()) || text.contains(u'"'));

        const LogReading read = LoadObservationLog(dir_);
        QVERIFY(!read.unreadable);
        QCOMPARE(read.message, QString());
        QCOMPARE(read.rows.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QVERIFY(read.rows[i].entry);
            QVERIFY2(SameEntry(*read.rows[i].entry, *rows[i].entry),
                     qPrintable(QString::number(i)));
        }
        QCOMPARE(LogFileBytes(read.rows), bytes);
    }

    void keepsUnreadableRows_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("entries");
        const QByteArray valid = ValidLine();
        QTest::newRow("garbage") << QByteArray("ez nem bejegyzés") << 2;
        QTest::newRow("not UTF-8") << QByteArray(valid).replace(",Szeged,", ",\xF5\xE9,") << 2;
        QTest::newRow("a quote left open") << QByteArray('"' + valid) << 2;
        QTest::newRow("a cell too many") << QByteArray(valid + ",") << 2;
        QTest::newRow("latitude beyond the pole")
            << QByteArray(valid).replace(",46.25,", ",91,") << 2;
        QTest::newRow("a zone that does not exist")
            << QByteArray(valid).replace("Europe/Budapest", "Europe/Szeged") << 2;
        QTest::newRow("a zone that Odeh has not") << QByteArray(valid.chopped(1) + "E") << 2;
        QTest::newRow("a time without its offset") << QByteArray(valid).replace("+01:00", "") << 2;
        QTest::newRow("a transparency beyond the scale")
            << QByteArray(valid).replace(",paras,2,", ",paras,6,") << 2;
        // Typed by hand in a spreadsheet: the prediction is Lunex's to add.
        QList<QByteArray> cells = valid.split(',');
        for (qsizetype i = 13; i < cells.size(); ++i) {
            cells[i].clear();
        }
        QTest::newRow("without a prediction") << cells.join(',') << 3;
        QTest::newRow("without the prediction's cells") << cells.mid(0, 13).join(',') << 3;
        QTest::newRow("without the prediction, a cell short") << cells.mid(0, 12).join(',') << 2;
        QTest::newRow("without the prediction, in a year not forecast")
            << cells.mid(0, 13).join(',').replace("2027-03-09", "0900-03-09") << 2;
    }
    void keepsUnreadableRows() {
        QFETCH(QByteArray, line);
        QFETCH(int, entries);
        const QDateTime moment = TheEvening;
        QByteArray bytes =
            LogFileBytes({{MakeEntry(moment, SightingResult::NakedEye, QStringLiteral("a")), {}}});
        bytes += line + "\r\n" + ValidLine() + '\n';
        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        LogReading read = LoadObservationLog(dir_);
        QVERIFY(!read.unreadable);
        QCOMPARE(read.rows.size(), 3);
        const int kept = int(std::count_if(read.rows.begin(), read.rows.end(),
                                           [](const LogRow &r) { return bool(r.entry); }));
        QCOMPARE(kept, entries);
        QCOMPARE(read.message.isEmpty(), entries == 3);
        if (entries < 3) {
            QVERIFY2(read.message.contains(u"3."), qPrintable(read.message));
        } else {
            QVERIFY(read.rows[1].entry->prediction.newMoon.isValid());
        }

        // The next save, with an entry more and one less, keeps the row as it stood.
        read.rows.removeFirst();
        read.rows.append(
            {MakeEntry(moment.addDays(1), SightingResult::OpticalAidOnly, QStringLiteral("c")),
             {}});
        QCOMPARE(SaveObservationLog(dir_, read.rows), FileProblem::None);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        if (entries < 3) {
            QVERIFY(saved.contains("\r\n" + line + "\r\n"));
        }
        QCOMPARE(LoadObservationLog(dir_).rows.size(), 3);
    }

    // Two writers save at once, again and again, while a reader reads: every
    // reading is one writer's whole log.
    void concurrentSavesNeverTear() {
        const QDateTime moment(QDate(2027, 3, 9), QTime(18, 20), Budapest);
        QList<LogRow> shortLog, longLog;
        shortLog.append({MakeEntry(moment, SightingResult::NakedEye, QStringLiteral("rövid")), {}});
        for (int i = 0; i < 400; ++i) {
            longLog.append(
                {MakeEntry(moment.addDays(i), SightingResult::NotSeen, QString(200, u'ő')), {}});
        }
        std::atomic<bool> failed = false;
        const auto writer = [&](const QList<LogRow> &rows) {
            for (int i = 0; i < 40; ++i) {
                failed = failed || SaveObservationLog(dir_, rows) != FileProblem::None;
            }
        };
        std::thread a(writer, shortLog), b(writer, longLog);
        int readings = 0;
        while (readings < 200) {
            const LogReading read = LoadObservationLog(dir_);
            if (read.rows.isEmpty() && !read.unreadable) {
                continue; // not yet written
            }
            QVERIFY(!read.unreadable);
            QCOMPARE(read.message, QString());
            QVERIFY(read.rows.size() == shortLog.size() || read.rows.size() == longLog.size());
            ++readings;
        }
        a.join();
        b.join();
        QVERIFY(!failed);
    }

    // A link planted in the log's place: the save is refused and what it
    // leads to stays as it was.
    void neverWritesThroughALink() {
        const QString elsewhere = dir_ + QStringLiteral("/masik.csv");
        QFile target(elsewhere);
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.write("mas");
        target.close();
        QVERIFY(QFile::link(elsewhere, LogPath(dir_)));
        const QList<LogRow> rows{
            {MakeEntry(TheEvening, SightingResult::NakedEye, QStringLiteral("x")), {}}};
        QCOMPARE(SaveObservationLog(dir_, rows), FileProblem::IsLink);
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), QByteArray("mas"));
    }

    // A header without its line end (a file cut short): an empty log.
    void headerAloneIsAnEmptyLog() {
        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(LogFileBytes({}).chopped(2));
        file.close();
        const LogReading read = LoadObservationLog(dir_);
        QVERIFY(!read.unreadable);
        QVERIFY(read.rows.isEmpty());
    }

    void unreadableFileIsNotOverwritten() {
        QVERIFY(QDir().mkpath(LogPath(dir_)));
        const LogReading read = LoadObservationLog(dir_);
        QVERIFY(read.unreadable);
        QVERIFY(read.message.contains(u"naplo.csv"));
    }

    // Rows that once hung or swamped the reader, read in a child process under
    // a time and a memory limit: a zone cell reaches no library unless it is
    // a name of the database, as hely.txt's zone; a record of more cells than
    // the form has is refused at the first one too many.
    void hostileRowsInAChild_data() {
        QTest::addColumn<QByteArray>("line"); // between two valid rows
        QTest::addColumn<bool>("readable");
        const QByteArray valid = ValidLine();
        const auto zone = [&valid](const QByteArray &cell) {
            return QByteArray(valid).replace("Europe/Budapest", cell);
        };
        QTest::newRow("a rule Qt loops on") << zone("\"EST5EDT,M13.2.0,M11.1.0\"") << false;
        QTest::newRow("a rule Qt reads") << zone("\"EST5EDT,M3.2.0,M11.1.0\"") << false;
        QTest::newRow("a path to a FIFO") << zone("../../../../../../../<dir>/fifo") << false;
        QTest::newRow("a path to a device") << zone("../../../../../../../dev/zero") << false;
        QTest::newRow("a path to a zone file") << zone("../zoneinfo/Europe/Budapest") << false;
        QTest::newRow("a name of the database") << zone("America/New_York") << true;
        QTest::newRow("an alias") << zone("Europe/Kiev") << true;
        QTest::newRow("60 MiB of commas") << QByteArray(60 << 20, ',') << false;
        QTest::newRow("60 MiB of commas, quoted pairs")
            << QByteArray(",\"\"").repeated(20 << 20) << false;
    }
    void hostileRowsInAChild() {
        QFETCH(QByteArray, line);
        QFETCH(bool, readable);
        const QByteArray fifo = QFile::encodeName(dir_ + QStringLiteral("/fifo"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        line.replace("<dir>", QFile::encodeName(dir_));
        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(LogFileBytes({}) + ValidLine() + "\r\n" + line + "\r\n" + ValidLine() + "\r\n");
        file.close();
        const test::HelperRun run =
            test::RunHelper({"memory-limit", "1024", "load-log", dir_}, 20000);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.value("rows"), QStringLiteral("3"));
        QCOMPARE(run.value("unread"), readable ? QStringLiteral("-") : QStringLiteral("3"));
    }

    // Two copies of Lunex adding entries at once, as two processes: every
    // entry of both is on the disk.
    void twoCopiesKeepEveryEntry() {
        QProcess a, b;
        for (auto &[p, tag] : {std::pair(&a, "a"), std::pair(&b, "b")}) {
            p->start(QStringLiteral(LUNEX_STOREHELPER_PATH),
                     {"add-log", dir_, "60", QString::fromLatin1(tag)});
        }
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QVERIFY2(a.readAllStandardOutput().contains("saved 60"), "the first copy lost a save");
        QVERIFY2(b.readAllStandardOutput().contains("saved 60"), "the second copy lost a save");
        QSet<QString> notes;
        for (const LogRow &row : LoadObservationLog(dir_).rows) {
            QVERIFY(row.entry);
            notes.insert(row.entry->notes);
        }
        QCOMPARE(notes.size(), 120);
        QVERIFY(notes.contains(QStringLiteral("a 59")) && notes.contains(QStringLiteral("b 0")));
    }

    // A save that cannot be made leaves the file as it was and says why.
    void refusedSavesLeaveTheFile_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("words"); // of the message
        QTest::newRow("another copy holds the lock") << "lock"
                                                     << "másik Lunex";
        // Quotes doubled: a note of them also takes the quoting's one pass.
        QTest::newRow("beyond the limit the reader reads") << "size"
                                                           << "64 MiB";
        QTest::newRow("a log that cannot be read") << "unreadable"
                                                   << "nem olvasható";
    }
    void refusedSavesLeaveTheFile() {
        QFETCH(QString, cause);
        QFETCH(QString, words);
        LogEntry first = MakeEntry(TheEvening, SightingResult::NakedEye, QStringLiteral("a"));
        QCOMPARE(SaveObservationLog(dir_, {{first, {}}}), FileProblem::None);
        const LogReading read = LoadObservationLog(dir_);
        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray before = file.readAll();
        file.close();
        LogEntry next =
            MakeEntry(TheEvening.addDays(1), SightingResult::NotSeen, QStringLiteral("b"));
        QLockFile other(LogPath(dir_) + QStringLiteral(".lock"));
        if (cause == u"lock") {
            QVERIFY(other.tryLock(0));
        } else if (cause == u"size") {
            next.notes = QString(int(LogFileLimit / 2) + 1, u'"');
        } else {
            QVERIFY(file.open(QIODevice::WriteOnly));
            before = QByteArray(LogFileLimit + 1, 'x');
            file.write(before);
            file.close();
        }
        const LogSaving saving =
            SaveLogChanges(dir_, read, read.rows + QList<LogRow>{{next, {}}}, 100);
        QVERIFY(!saving.saved);
        QVERIFY2(saving.message.contains(words), qPrintable(saving.message));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
    }

    // Free text that a spreadsheet would take for a formula is written with an
    // apostrophe before it, and reads back as typed; a formula an older
    // version wrote without one reads as it stood.
    void guardsFormulasAndReadsThemBack_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written"); // as the file holds the place's cell
        QTest::newRow("a link") << "=HYPERLINK(\"http://evil.example/?x\",\"click\")"
                                << "\"'=HYPERLINK(\"\"http://evil.example/?x\"\",\"\"click\"\")\"";
        QTest::newRow("a command") << "=cmd|' /C calc'!A0"
                                   << "'=cmd|' /C calc'!A0";
        QTest::newRow("a sign") << "-5 fok"
                                << "'-5 fok";
        QTest::newRow("plus, at, tab") << "@x\t+"
                                       << "'@x\t+";
        QTest::newRow("an apostrophe before a formula") << "'=1"
                                                        << "''=1";
        QTest::newRow("an apostrophe alone") << "'tis"
                                             << "'tis";
        QTest::newRow("an apostrophe, nothing after") << "'"
                                                      << "'";
    }
    void guardsFormulasAndReadsThemBack() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        LogEntry e = MakeEntry(TheEvening, SightingResult::NakedEye, typed);
        e.observer = typed;
        QCOMPARE(SaveObservationLog(dir_, {{e, {}}}), FileProblem::None);
        QFile file(LogPath(dir_));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.contains(",46.25,") && bytes.contains(',' + written.toUtf8() + ",46.25,"),
                 bytes.constData());
        const LogReading read = LoadObservationLog(dir_);
        QCOMPARE(read.rows.size(), 1);
        QVERIFY(read.rows[0].entry);
        QCOMPARE(read.rows[0].entry->placeName, typed);
        QCOMPARE(read.rows[0].entry->observer, typed);
        QCOMPARE(read.rows[0].entry->notes, typed);
        // Unguarded, as an older version wrote it, where no apostrophe starts it.
        if (!typed.startsWith(u'\'')) {
            file.close();
            QVERIFY(file.open(QIODevice::WriteOnly));
            QString unguarded = written;
            unguarded.remove(written.indexOf(u'\''), 1);
            file.write(QByteArray(bytes).replace(written.toUtf8(), unguarded.toUtf8()));
            file.close();
            const LogReading old = LoadObservationLog(dir_);
            QVERIFY(old.rows[0].entry);
            QCOMPARE(old.rows[0].entry->placeName, typed);
        }
    }

    // At the forecast's best time the prediction is the forecast's evening.
    void predictionIsTheForecasts_data() {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<int>("lunation");
        QTest::newRow("Szeged, spring 2027") << 46.25 << 20.14 << 337;
        QTest::newRow("Szeged, autumn 2027") << 46.25 << 20.14 << 344;
        QTest::newRow("Cape Town") << -33.92 << 18.42 << 340;
        QTest::newRow("Quito, west of Greenwich") << -0.22 << -78.51 << 339;
        QTest::newRow("Helsinki") << 60.17 << 24.94 << 337;
    }
    void predictionIsTheForecasts() {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(int, lunation);
        const Place place{latitude, longitude, 100};
        const Lunation forecast = ComputeLunation(place, lunation);
        int compared = 0;
        for (const Evening &e : MorningsAndEvenings(forecast)) {
            if (e.sighting.status != CrescentStatus::Computed) {
                continue;
            }
            const CrescentSighting &s = e.sighting;
            const SightingPrediction p = PredictSighting(place, FromJulianDay(*s.bestTime));
            QCOMPARE(p.direction, e.direction);
            QCOMPARE(p.newMoon, forecast.newMoon);
            QCOMPARE(p.ageMinutes, e.isMorning() ? -e.age->totalMinutes : e.age->totalMinutes);
            // A QDateTime holds the best time to the millisecond, in which the
            // Moon moves a hundredth of an arc second.
            const auto near = [](double a, double b) { return std::abs(a - b) < 1e-5; };
            QCOMPARE(p.lagMinutes.has_value(), s.lagMinutes.has_value());
            QVERIFY(near(*p.lagMinutes, *s.lagMinutes));
            QVERIFY(near(p.moon.altitude, e.moonAtBestTime->altitude));
            QVERIFY(near(p.moon.azimuth, e.moonAtBestTime->azimuth));
            QVERIFY(near(p.arcl, s.arcl));
            QVERIFY(near(p.widthYallop, s.widthYallop));
            QVERIFY(near(p.q, s.q));
            QCOMPARE(p.yallop, s.yallop);
            QVERIFY(near(p.v, s.v));
            QCOMPARE(p.odeh, s.odeh);
            ++compared;
        }
        QVERIFY(compared > 0);
    }

    // A log of every kind: results, aids, skies, two observers and two places,
    // accents, characters beyond Windows-1250 and XML's own, notes of lines.
    static QList<LogEntry> VariedEntries() {
        QList<LogEntry> entries;
        for (int i = 0; i < SightingResultCount * 2; ++i) {
            LogEntry e = MakeEntry(
                TheEvening.addDays(i * 3), SightingResult(i % SightingResultCount),
                i % 2 ? QStringLiteral("Tromsø <&> \"東京\"") : QStringLiteral("Szőlőhegy"));
            e.aid = OpticalAid(i % OpticalAidCount);
            e.aidText = e.aid == OpticalAid::None ? QString() : QStringLiteral("10×50");
            e.sky = SkyCondition(i % SkyConditionCount);
            e.transparency = i % 3 ? std::optional(i % 5 + 1) : std::nullopt;
            e.observer = i % 3 ? QStringLiteral("Kovács Éva") : QStringLiteral("Bob");
            e.notes = i % 4 ? QStringLiteral("első sor\nmásodik; \r\n harmadik") : QString();
            if (i == 5) {
                e.place = {-33.92, 18.42, 10};
            }
            if (i == 6) {
                e.moment = e.moment.toTimeZone(QTimeZone::utc());
            }
            entries.append(Predicted(e));
        }
        return entries;
    }

    void oalExportValidates() {
        const QString file = dir_ + QStringLiteral("/naplo.xml");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(FormatOal(VariedEntries()));
        out.close();
        QProcess xmllint;
        xmllint.start(QStringLiteral("xmllint"),
                      {QStringLiteral("--noout"), QStringLiteral("--schema"),
                       QStringLiteral(LUNEX_TEST_DATA_DIR "/oal21/oal21.xsd"), file});
        QVERIFY2(xmllint.waitForFinished(60000), "xmllint (libxml2-utils) is needed");
        QVERIFY2(xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0,
                 xmllint.readAllStandardError().constData());
    }

    void oalImportGivesTheSameEntries() {
        const QList<LogEntry> entries = VariedEntries();
        const OalReading read = ReadOal(FormatOal(entries), Budapest);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.entries.size(), entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QCOMPARE(read.entries[i].moment.offsetFromUtc(), entries[i].moment.offsetFromUtc());
            LogEntry back = read.entries[i];
            back.moment = back.moment.toTimeZone(entries[i].moment.timeZone());
            QVERIFY2(SameEntry(back, entries[i]),
                     qPrintable(QStringLiteral("%1: %2 | %3 | %4")
                                    .arg(i)
                                    .arg(back.placeName, back.notes, back.observer)));
        }
        // What the log holds already is not taken twice.
        QList<LogRow> rows;
        for (const LogEntry &e : entries.mid(0, 3)) {
            rows.append({e, {}});
        }
        QCOMPARE(NewEntries(rows, read.entries).size(), entries.size() - 3);
        QCOMPARE(NewEntries({}, read.entries + read.entries).size(), entries.size());
    }

    void oalImportsAnotherProgramsLog_data() {
        QTest::addColumn<QString>("observation");
        QTest::addColumn<int>("result"); // -1: not taken
        QTest::addColumn<QString>("notes");
        const QString base =
            QStringLiteral("<observer>o</observer><site>s</site><target>%1</target>"
                           "<begin>2027-03-09T18:20:00+01:00</begin>%2");
        QTest::newRow("by eye") << base.arg(QStringLiteral("m"),
                                            QStringLiteral("<result><description>thin</description>"
                                                           "</result>"))
                                << int(SightingResult::NakedEye) << QStringLiteral("thin");
        QTest::newRow("with a scope")
            << base.arg(QStringLiteral("m"), QStringLiteral("<scope>sc</scope><result><description>"
                                                            "x</description></result>"))
            << int(SightingResult::OpticalAidOnly) << QStringLiteral("x");
        QTest::newRow("not the Moon")
            << base.arg(QStringLiteral("v"), QStringLiteral("<result><description>x</description>"
                                                            "</result>"))
            << -1 << QString();
    }
    void oalImportsAnotherProgramsLog() {
        QFETCH(QString, observation);
        QFETCH(int, result);
        QFETCH(QString, notes);
        const QString xml =
            QStringLiteral(
                "<?xml version=\"1.0\"?><oal:observations version=\"2.1\" "
                "xmlns:oal=\"http://groups.google.com/group/openastronomylog\" "
                "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><observers><observer "
                "id=\"o\">"
                "<name>Jan</name><surname>Novák</surname></observer></observers><sites><site "
                "id=\"s\">"
                "<name>Brno</name><longitude unit=\"rad\">0.2897</longitude><latitude unit=\"deg\">"
                "49.2</latitude><timezone>60</timezone></site></sites><sessions/><targets>"
                "<target xsi:type=\"oal:MoonTargetType\" "
                "id=\"m\"><datasource>x</datasource><name>Moon"
                "</name></target><target xsi:type=\"oal:PlanetTargetType\" id=\"v\"><datasource>x"
                "</datasource><name>Venus</name></target></targets><scopes/><eyepieces/><lenses/>"
                "<filters/><imagers/><observation>%1</observation></oal:observations>")
                .arg(observation);
        const OalReading read = ReadOal(xml.toUtf8(), Budapest);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.entries.size(), result < 0 ? 0 : 1);
        if (result >= 0) {
            const LogEntry &e = read.entries.first();
            QCOMPARE(int(e.result), result);
            QCOMPARE(e.notes, notes);
            QCOMPARE(e.observer, QStringLiteral("Novák Jan"));
            QVERIFY(std::abs(e.place.longitude - 16.6) < 0.01);
            QCOMPARE(e.moment.timeZone(), Budapest);
            QVERIFY(e.prediction.newMoon.isValid());
        }
    }

    // The import takes what the log's reader reads back, in the years the
    // forecast serves: anything else is left out and counted by its reason.
    void oalImportLeavesOutWhatTheLogCannotKeep_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<int>("fault");
        const QByteArray begin = "<begin>2027-03-09T18:20:00+01:00<";
        QTest::newRow("as written") << begin << begin << int(LogEntryFault::None);
        QTest::newRow("longitude -300")
            << QByteArray(">20.14<") << QByteArray(">-300<") << int(LogEntryFault::Longitude);
        QTest::newRow("latitude 95")
            << QByteArray(">46.25<") << QByteArray(">95<") << int(LogEntryFault::Latitude);
        QTest::newRow("latitude no number")
            << QByteArray(">46.25<") << QByteArray(">é<") << int(LogEntryFault::Latitude);
        for (const char *elevation : {"nan", "inf", "-inf"}) {
            QTest::addRow("elevation %s", elevation)
                << QByteArray("<elevation>75<") << "<elevation>" + QByteArray(elevation) + '<'
                << int(LogEntryFault::Elevation);
        }
        QTest::newRow("elevation 1e308")
            << QByteArray("<elevation>75<") << QByteArray("<elevation>1e308<")
            << int(LogEntryFault::Elevation);
        QTest::newRow("year 10000 on the clock, 9999 in UTC")
            << begin << QByteArray("<begin>9999-12-31T23:59:59Z<") << int(LogEntryFault::Year);
        QTest::newRow("year 1") << begin << QByteArray("<begin>0001-01-01T18:00:00Z<")
                                << int(LogEntryFault::Year);
        QTest::newRow("year 3001")
            << begin << QByteArray("<begin>3001-01-01T18:00:00Z<") << int(LogEntryFault::Year);
        QTest::newRow("a note beyond its limit")
            << QByteArray("<description>Szeged<")
            << "<description>" + QByteArray(LogNoteLimit + 1, 'x') + '<'
            << int(LogEntryFault::LongText);
    }
    void oalImportLeavesOutWhatTheLogCannotKeep() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(int, fault);
        const QByteArray xml =
            FormatOal({MakeEntry(TheEvening, SightingResult::NakedEye, QStringLiteral("Szeged"))});
        QVERIFY(xml.contains(from));
        const OalReading read = ReadOal(QByteArray(xml).replace(from, to), Budapest);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.entries.size(), fault == int(LogEntryFault::None) ? 1 : 0);
        std::array<int, LogEntryFaultCount> skipped{};
        if (fault != int(LogEntryFault::None)) {
            skipped[fault] = 1;
        }
        QCOMPARE(read.skipped, skipped);
        // What is taken is read back from the log as it was taken.
        for (const LogEntry &e : read.entries) {
            QCOMPARE(ParseLogFile(LogFileBytes({{e, {}}})).constFirst().entry.has_value(), true);
        }
    }

    void refusesWhatIsNotALog_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("another XML") << QByteArray("<html><body/></html>");
        QTest::newRow("cut short") << QByteArray(
            "<oal:observations xmlns:oal=\"http://groups.google.com/group/openastronomylog\">"
            "<observers>");
        QTest::newRow("not XML") << QByteArray("idopont,hely\r\n");
        // A small file whose entity, used over and over, would expand to gigabytes.
        const QByteArray uses = QByteArray("&a;").repeated(1000);
        QTest::newRow("a document type with an entity")
            << "<?xml version=\"1.0\"?><!DOCTYPE oal:observations [<!ENTITY a \"" +
                   QByteArray(4000, 'x') +
                   "\">]><oal:observations "
                   "xmlns:oal=\"http://groups.google.com/group/openastronomylog\"><observers>"
                   "<observer id=\"o\"><name>" +
                   uses + "</name></observer></observers></oal:observations>";
        QTest::newRow("a document type alone")
            << QByteArray("<!DOCTYPE x><oal:observations "
                          "xmlns:oal=\"http://groups.google.com/group/openastronomylog\"/>");
    }
    void refusesWhatIsNotALog() {
        QFETCH(QByteArray, bytes);
        const OalReading read = ReadOal(bytes, Budapest);
        QVERIFY(!read.error.isEmpty());
        QVERIFY(!bytes.contains("DOCTYPE") || read.error.contains(u"DOCTYPE"));
        QVERIFY(read.entries.isEmpty());
    }

    // The records and the classes as the log saw them.
    void recordsAndSummary() {
        QList<LogRow> rows;
        const int k = 337;
        const Place szeged{46.25, 20.14, 75};
        const Lunation lunation = ComputeLunation(szeged, k);
        QList<LogEntry> at;
        for (const Evening &e : lunation.evenings) {
            if (e.sighting.bestTime) {
                LogEntry entry = MakeEntry(MinuteOf(*e.sighting.bestTime).toTimeZone(Budapest),
                                           SightingResult::NotSeen, QStringLiteral("x"));
                at.append(entry);
            }
        }
        QVERIFY(at.size() >= 3);
        const std::array<SightingResult, 3> results{SightingResult::OpticalAidOnly,
                                                    SightingResult::AidThenNakedEye,
                                                    SightingResult::NakedEye};
        for (int i = 0; i < 3; ++i) {
            at[i].result = results[i];
            rows.append({at[i], {}});
        }
        rows.append({std::nullopt, QByteArray("sérült sor")});
        LogEntry failed = at[0];
        failed.result = SightingResult::NotSeen;
        rows.append({failed, {}});

        const ObserverRecords records = FindRecords(rows);
        QCOMPARE(records.youngestWithAid->moment, at[0].moment);
        QCOMPARE(records.oldestWithAid->moment, at[1].moment);
        QCOMPARE(records.youngestByEye->moment, at[1].moment);
        QCOMPARE(records.oldestByEye->moment, at[2].moment);

        const ClassSummary summary = SummarizeByClass(rows);
        int seen = 0, notSeen = 0;
        for (const SeenTally &t : summary.yallop) {
            seen += t.seen;
            notSeen += t.notSeen;
        }
        QCOMPARE(seen, 3);
        QCOMPARE(notSeen, 1);
        QCOMPARE(summary.yallop[int(at[0].prediction.yallop)].notSeen, 1);
        QCOMPARE(summary.odeh[int(at[2].prediction.odeh)].seen >= 1, true);
    }

    // A morning's sighting is of the old crescent before the coming new moon.
    void morningPrecedesItsNewMoon() {
        const QDateTime newMoon = NewMoonUtc(340);
        QDateTime dawn(newMoon.toTimeZone(Budapest).date(), QTime(5, 0), Budapest);
        if (dawn >= newMoon) {
            dawn = dawn.addDays(-1);
        }
        const SightingPrediction p = PredictSighting({46.25, 20.14, 75}, dawn);
        QCOMPARE(p.direction, Direction::Morning);
        QCOMPARE(p.newMoon, newMoon);
        QVERIFY(p.ageMinutes < 0);
        QCOMPARE(p.ageMinutes, int(-dawn.secsTo(RoundedToMinute(newMoon)) / 60));
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
