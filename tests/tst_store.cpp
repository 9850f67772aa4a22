#include "fakes.h"
#include "store/appdirs.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/fileio.h"
#include "store/horizonfile.h"
#include "store/picturefile.h"
#include "store/placefile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <sys/time.h>
#include <unistd.h>

using namespace lunex;
using namespace lunex::test;

class TestStore : public QObject {
    Q_OBJECT

private slots:
    void encodesWindows1250_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("small accents") << QStringLiteral("áőű") << QByteArray("\xE1\xF5\xFB");
        QTest::newRow("capital accents") << QStringLiteral("ÁŐŰ") << QByteArray("\xC1\xD5\xDB");
        QTest::newRow("euro sign") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("not in the code page") << QStringLiteral("a\u4e00b") << QByteArray("a?b");
        QTest::newRow("outside the BMP is one ?")
            << QString::fromUtf8("x\xF0\x9F\x8C\x99y") << QByteArray("x?y");
        QTest::newRow("SUB stays itself") << QStringLiteral("\x1a") << QByteArray("\x1a");
        // Spaces the code page lacks become blanks, so a pasted time keeps its shape.
        QTest::newRow("narrow no-break space")
            << QStringLiteral("2026-11-20\u202F06:47") << QByteArray("2026-11-20 06:47");
        QTest::newRow("other spaces")
            << QStringLiteral("a\u2000b\u200Ac\u205Fd\u3000e\uFEFF") << QByteArray("a b c d e ");
        QTest::newRow("line and paragraph separators")
            << QStringLiteral("a\u2028b\u2029c") << QByteArray("a b c");
        QTest::newRow("no-break space is in the code page") << QStringLiteral("a\u00A0b")
                                                            << QByteArray("a\xA0"
                                                                          "b");
        QTest::newRow("control characters stay")
            << QStringLiteral("a\tb\r\n") << QByteArray("a\tb\r\n");
    }
    void encodesWindows1250() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(EncodeAnsi(text), bytes);
    }

    void decodesEveryByteAndBack() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            all.append(char(b));
        }
        const QString text = DecodeAnsi(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xF5), QChar(u'ő'));
        QCOMPARE(EncodeAnsi(text), all);
    }

    // A cut picture decodes in Qt without an error, half grey: only a whole one counts.
    void picturesMustBeWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("cuts"); // lengths that are not whole pictures
        const auto file = [](const char *name) {
            QFile f(QStringLiteral(LUNEX_PIC_DIR "/") + QLatin1String(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray phase = file("010-novekvo.gif");
        const QByteArray day = file("Lunar-day03s.gif");
        const QByteArray map = file("Lunar-map.jpg");
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        QByteArray progressive;
        QBuffer buffer(&progressive);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(image));
        QTest::newRow("phase GIF")
            << phase << QList<int>{0, 6, 13, 400, 3000, int(phase.size() - 1)};
        QTest::newRow("day GIF") << day
                                 << QList<int>{20000, int(day.size() / 2), int(day.size() - 1)};
        QTest::newRow("map JPEG") << map << QList<int>{2, 20000, int(map.size() - 2)};
        QTest::newRow("progressive JPEG")
            << progressive << QList<int>{int(progressive.size() / 2), int(progressive.size() - 1)};
    }
    void picturesMustBeWhole() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, cuts);
        QVERIFY(!QImage::fromData(bytes).isNull());
        QVERIFY(IsCompletePicture(bytes));
        for (const int cut : cuts) {
            QVERIFY2(!IsCompletePicture(bytes.left(cut)), qPrintable(QString::number(cut)));
        }
    }

    // A detailed picture runs to megabytes: up to 32 MiB are read, and a
    // larger one is refused as such.
    void picturesOfMegabytes_data() {
        QTest::addColumn<int>("side");    // of a JPEG of noise, in pixels
        QTest::addColumn<qint64>("size"); // the file's size: the picture, then NUL bytes
        QTest::addColumn<bool>("read");
        QTest::newRow("1.6 MB map") << 900 << 0LL << true;
        QTest::newRow("32 MiB") << 64 << 32LL * 1024 * 1024 << true;
        QTest::newRow("a byte more") << 64 << 32LL * 1024 * 1024 + 1 << false;
    }
    void picturesOfMegabytes() {
        QFETCH(int, side);
        QFETCH(qint64, size);
        QFETCH(bool, read);
        QImage noise(side, side, QImage::Format_RGB32);
        QRandomGenerator random(20261120);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                noise.setPixel(x, y, random.generate());
            }
        }
        AppDir dir;
        const QString path = dir.pic("Lunar-map.jpg");
        QVERIFY(noise.save(path, "JPEG", 100));
        QVERIFY(size == 0 || QFile::resize(path, size));
        QVERIFY(QFileInfo(path).size() > (size == 0 ? 1024 * 1024 : size - 1));
        const ReadResult picture = ReadPictureFile(path);
        QCOMPARE(bool(picture.bytes), read);
        QCOMPARE(picture.problem, read ? FileProblem::None : FileProblem::PictureTooLarge);
    }

    void splitsListLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QString() << QStringList();
        QTest::newRow("CR LF ends, last one kept off")
            << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("CR only") << QStringLiteral("a\rb") << QStringList{"a", "b"};
        QTest::newRow("empty middle line")
            << QStringLiteral("a\r\n\r\nc") << QStringList{"a", "", "c"};
        QTest::newRow("LF only stays inside one entry")
            << QStringLiteral("a\nb\nc\n") << QStringList{"a\nb\nc\n"};
        QTest::newRow("LF CR is a character then a line end")
            << QStringLiteral("a\n\rb") << QStringList{"a\n", "b"};
        QTest::newRow("lone CR LF gives one empty entry")
            << QStringLiteral("\r\n") << QStringList{""};
        QTest::newRow("CR CR LF") << QStringLiteral("a\r\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("a long entry keeps its first 1,024 characters")
            << QString(1023, u'x') + QStringLiteral("őz\r\n") + QString(5000, u'y')
            << QStringList{QString(1023, u'x') + u'ő', QString(1024, u'y')};
    }
    void splitsListLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitListLines(EncodeAnsi(text)), lines);
    }

    void fillsListFromFile() {
        AppDir dir;
        dir.write("ujholdak.txt", "\xDAj\xF5\r\n2026-11-20 06:47\r\n\r\n2026-12-20 01:43");
        FakeList list;
        list.entries = {"stale"};
        FillNewMoonList(dir.path(), list);
        QCOMPARE(list.entries,
                 (QStringList{QStringLiteral("Újő"), "2026-11-20 06:47", "", "2026-12-20 01:43"}));
        QCOMPARE(list.selected, -1);
    }

    void missingListGivesEmptyList() {
        AppDir dir;
        FakeList list;
        list.entries = {"stale"};
        FillNewMoonList(dir.path(), list);
        QVERIFY(list.entries.isEmpty());
    }

    void savesTextThenCrLf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("16 characters make 18 bytes")
            << QStringLiteral("2026-11-20 06:47") << QByteArray("2026-11-20 06:47\r\n");
        QTest::newRow("empty field") << QString() << QByteArray("\r\n");
        QTest::newRow("loaded line break is kept")
            << QStringLiteral("x\r\n") << QByteArray("x\r\n\r\n");
        QTest::newRow("accents") << QStringLiteral("őŰ") << QByteArray("\xF5\xDB\r\n");
    }
    void savesTextThenCrLf() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        AppDir dir;
        FakeFields f;
        FakeMessenger m;
        f.newMoon = text;
        f.observation = text + "!";
        QVERIFY(SaveNewMoon(dir.path(), f, m));
        QCOMPARE(dir.read("ujhold.txt"), bytes);
        QVERIFY(SaveObservation(dir.path(), f, m));
        QCOMPARE(dir.read("utolso.txt"), bytes.chopped(2) + "!\r\n");
        QVERIFY(m.shown.isEmpty());
    }

    void loadRoundTripsWholeContent() {
        AppDir dir;
        FakeFields f;
        FakeMessenger m;
        f.newMoon = QStringLiteral("2026. 11. 20. 6:47");
        QVERIFY(SaveNewMoon(dir.path(), f, m));
        f.newMoon.clear();
        LoadNewMoon(dir.path(), f, m);
        QCOMPARE(f.newMoon, QStringLiteral("2026. 11. 20. 6:47\r\n"));

        dir.write("utolso.txt", "");
        f.observation = "typed";
        QVERIFY(LoadObservation(dir.path(), f, m));
        QCOMPARE(f.observation, QString());
        QVERIFY(m.shown.isEmpty());
    }

    // A stored date is a few bytes: a file beyond 1 MiB is not loaded.
    void oversizedFilesAreNotLoaded_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("1 MiB loads") << qsizetype(1024 * 1024);
        QTest::newRow("a byte more is refused") << qsizetype(1024 * 1024 + 1);
    }
    void oversizedFilesAreNotLoaded() {
        QFETCH(qsizetype, size);
        AppDir dir;
        dir.write("ujhold.txt", QByteArray(size, '7'));
        dir.write("utolso.txt", QByteArray(size, '7'));
        FakeFields f;
        f.newMoon = "keep 11";
        f.observation = "keep 12";
        FakeMessenger m;
        LoadNewMoon(dir.path(), f, m);
        const bool loaded = LoadObservation(dir.path(), f, m);
        if (size <= 1024 * 1024) {
            QVERIFY(loaded);
            QCOMPARE(f.newMoon, QString(size, u'7'));
            QCOMPARE(f.observation, f.newMoon);
            QVERIFY(m.shown.isEmpty());
            return;
        }
        QVERIFY(!loaded);
        QCOMPARE(f.newMoon, "keep 11");
        QCOMPARE(f.observation, "keep 12");
        QCOMPARE(m.shown.size(), 2);
        QCOMPARE(m.shown[0].text, QStringLiteral("Az 'ujhold.txt' fájl nem olvasható: túl nagy "
                                                 "(legfeljebb 1 MiB)."));
        QCOMPARE(m.shown[1].text, QStringLiteral("Az 'utolso.txt' fájl nem olvasható: túl nagy "
                                                 "(legfeljebb 1 MiB)."));
        QCOMPARE(m.shown[1].icon, MessageIcon::Critical);
    }

    void absentFilesAreReported_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("missing") << "missing";
        QTest::newRow("directory in its place") << "dir";
        QTest::newRow("dangling symbolic link") << "dangling";
    }
    void absentFilesAreReported() {
        QFETCH(QString, how);
        AppDir dir;
        for (const QString name : {"ujhold.txt", "utolso.txt"}) {
            if (how == "dir") {
                QDir(dir.path() + "/Pic").mkdir(name);
            } else if (how == "dangling") {
                QVERIFY(QFile::link(dir.pic("nowhere"), dir.pic(name)));
            }
        }
        FakeFields f;
        f.newMoon = "keep 11";
        f.observation = "keep 12";
        FakeMessenger m;
        LoadNewMoon(dir.path(), f, m);
        QVERIFY(!LoadObservation(dir.path(), f, m));
        QCOMPARE(f.newMoon, "keep 11");
        QCOMPARE(f.observation, "keep 12");
        QCOMPARE(m.shown.size(), 2);
        QCOMPARE(m.shown[0].text, QStringLiteral("Az 'ujhold.txt' fájl nem található!"));
        QCOMPARE(m.shown[1].text, QStringLiteral("Az 'utolsó.txt' fájl nem található!"));
        QCOMPARE(m.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(m.shown[1].icon, MessageIcon::Critical);
    }

    void blankObservationIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("saved");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("three blanks") << QStringLiteral("   ") << false;
        QTest::newRow("a tab is stored") << QStringLiteral("\t") << true;
        QTest::newRow("a line break is stored") << QStringLiteral("\r\n") << true;
        QTest::newRow("not a date is stored") << QStringLiteral("holnap") << true;
    }
    void blankObservationIsRefused() {
        QFETCH(QString, text);
        QFETCH(bool, saved);
        AppDir dir;
        dir.write("utolso.txt", "old\r\n");
        FakeFields f;
        f.observation = text;
        FakeMessenger m;
        QCOMPARE(SaveObservation(dir.path(), f, m), saved);
        if (saved) {
            QCOMPARE(dir.read("utolso.txt"), EncodeAnsi(text) + "\r\n");
            QVERIFY(m.shown.isEmpty());
        } else {
            QCOMPARE(dir.read("utolso.txt"), QByteArray("old\r\n"));
            QCOMPARE(m.shown.size(), 1);
            QCOMPARE(m.shown[0].text, QStringLiteral("Üres dátumot NEM mentek!"));
            QCOMPARE(m.shown[0].icon, MessageIcon::Warning);
        }
    }

    void pickCopiesOnlyARealPick_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text11");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("nothing picked keeps the typed time") << -1 << "typed"
                                                             << "typed" << QByteArray("typed\r\n");
        QTest::newRow("heading keeps the typed time") << 0 << "typed"
                                                      << "typed" << QByteArray("typed\r\n");
        QTest::newRow("an entry is copied")
            << 2 << "typed"
            << "2026-12-20 01:43" << QByteArray("2026-12-20 01:43\r\n");
        QTest::newRow("an empty entry is copied") << 3 << "typed"
                                                  << "" << QByteArray("\r\n");
        // As right after the start: nothing to copy and nothing typed.
        QTest::newRow("nothing picked and nothing typed changes nothing")
            << -1 << ""
            << "" << QByteArray("stored\r\n");
        QTest::newRow("heading and blanks change nothing") << 0 << " \t\r\n"
                                                           << " \t\r\n"
                                                           << QByteArray("stored\r\n");
        QTest::newRow("an entry is copied over blanks")
            << 1 << " "
            << "2026-11-20 06:47" << QByteArray("2026-11-20 06:47\r\n");
    }
    void pickCopiesOnlyARealPick() {
        QFETCH(int, selected);
        QFETCH(QString, typed);
        QFETCH(QString, text11);
        QFETCH(QByteArray, stored);
        AppDir dir;
        dir.write("ujhold.txt", "stored\r\n");
        FakeList list;
        list.entries = {"Újholdak", "2026-11-20 06:47", "2026-12-20 01:43", ""};
        list.selected = selected;
        FakeFields f;
        f.newMoon = typed;
        FakeMessenger m;
        PickNewMoon(dir.path(), f, list, m);
        QCOMPARE(f.newMoon, text11);
        QCOMPARE(dir.read("ujhold.txt"), stored);
        QVERIFY(m.shown.isEmpty());
    }

    void writeFailuresLoseNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no Pic directory") << "nopic"
                                          << "a 'Pic' mappa nem létezik.";
        QTest::newRow("directory in its place") << "dir"
                                                << "a fájl helyén egy mappa van.";
        // A read-only Pic and a full disk: tst_diskfaults, with the real faults.
    }
    void writeFailuresLoseNothing() {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        AppDir dir;
        dir.write("utolso.txt", "old observation\r\n");
        if (how == "nopic") {
            QVERIFY(QDir(dir.pic("")).removeRecursively());
        } else if (how == "dir") {
            QDir(dir.pic("")).mkdir("ujhold.txt");
        }
        const QByteArray before11 = dir.read("ujhold.txt");
        const QByteArray before12 = dir.read("utolso.txt");
        FakeFields f;
        f.newMoon = "new moon";
        f.observation = "observation";
        FakeMessenger m;
        QVERIFY(!SaveNewMoon(dir.path(), f, m));
        // Only ujhold.txt is replaced by a directory in that case.
        QCOMPARE(SaveObservation(dir.path(), f, m), how == "dir");
        QCOMPARE(dir.read("ujhold.txt"), before11);
        if (how != "dir") {
            QCOMPARE(dir.read("utolso.txt"), before12);
        }
        QCOMPARE(f.newMoon, "new moon");
        QCOMPARE(f.observation, "observation");
        QVERIFY(m.shown.size() >= 1);
        QCOMPARE(m.shown[0].text, QStringLiteral("Az 'ujhold.txt' fájl nem menthető: ") + reason);
        QCOMPARE(m.shown[0].icon, MessageIcon::Critical);
        // No temporary file is left behind.
        const QStringList left = QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left) {
            QVERIFY2(name == "ujhold.txt" || name == "utolso.txt", qPrintable(name));
        }
    }

    // Portable only where the user may write beside the program; installed, the
    // pictures come from the prefix's share and the data files from the user's
    // folder, which is made then and only then.
    void portableOrInstalled_data() {
        QTest::addColumn<QString>("beside"); // what stands at bin/Pic
        QTest::addColumn<bool>("portable");
        QTest::newRow("writable folder") << "folder" << true;
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("a file") << "file" << false;
        QTest::newRow("read-only folder") << "read-only" << false;
    }
    void portableOrInstalled() {
        QFETCH(QString, beside);
        QFETCH(bool, portable);
        if (beside == "read-only" && geteuid() == 0) {
            QSKIP("root writes everywhere; tst_installed runs as another user");
        }
        QTemporaryDir root;
        const QString bin = root.filePath("prefix/bin");
        const QString user = root.filePath("home/.local/share/lunex");
        QVERIFY(QDir().mkpath(bin));
        if (beside == "file") {
            QFile file(bin + "/Pic");
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (!beside.isEmpty()) {
            QVERIFY(QDir(bin).mkdir("Pic"));
        }
        if (beside == "read-only") {
            QFile::setPermissions(bin + "/Pic", QFile::ReadOwner | QFile::ExeOwner);
        }
        // The companion programs find the same places, and make nothing.
        const AppDirs located = LocateAppDirs(bin, user);
        QVERIFY(!QFileInfo::exists(user));
        const AppDirs dirs = PrepareAppDirs(bin, user);
        QCOMPARE(dirs.pictures, portable ? bin : root.filePath("prefix/share/lunex"));
        QCOMPARE(dirs.data, portable ? bin : user);
        QCOMPARE(QFileInfo(user + "/Pic").isDir(), !portable);
        QCOMPARE(located.pictures, dirs.pictures);
        QCOMPARE(located.data, dirs.data);
    }

    // hely.txt as the place dialog saves it, and the place it reads back.
    void placeFileRoundTrip_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("elevation");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("built-in place") << "Szeged" << 46.25 << 20.14 << 75.0
                                        << QByteArray("Szeged;46.25;20.14;75\r\n") << "Szeged";
        QTest::newRow("accents of the code page")
            << QStringLiteral("Székesfehérvár") << 47.19 << 18.42 << 118.0
            << QByteArray("Sz\xE9kesfeh\xE9rv\xE1r;47.19;18.42;118\r\n")
            << QStringLiteral("Székesfehérvár");
        QTest::newRow("degrees and minutes keep a millionth")
            << "Kert" << 47 + 29.9 / 60 << 19.04 << 105.5
            << QByteArray("Kert;47.498333;19.04;105.5\r\n") << "Kert";
        QTest::newRow("south, west and below the sea")
            << "Ushuaia" << -54.8 << -68.3 << -20.0 << QByteArray("Ushuaia;-54.8;-68.3;-20\r\n")
            << "Ushuaia";
        QTest::newRow("a ';' in the name needs no escape")
            << QStringLiteral("Tanya; a dűlő végén") << 46.5 << 20.0 << 80.0
            << QByteArray("Tanya; a d\xFBl\xF5 v\xE9g\xE9n;46.5;20;80\r\n")
            << QStringLiteral("Tanya; a dűlő végén");
        QTest::newRow("Tromsø is written as Tromso and comes back")
            << QStringLiteral("Tromsø") << 69.65 << 18.96 << 10.0
            << QByteArray("Tromso;69.65;18.96;10\r\n") << QStringLiteral("Tromsø");
        QTest::newRow("Tromso elsewhere stays Tromso")
            << QStringLiteral("Tromso") << 69.0 << 18.96 << 10.0
            << QByteArray("Tromso;69;18.96;10\r\n") << QStringLiteral("Tromso");
        QTest::newRow("a letter beyond the code page loses its accent")
            << QStringLiteral("São Tomé") << 0.34 << 6.73 << 10.0
            << QByteArray("Sao Tom\xE9;0.34;6.73;10\r\n") << QStringLiteral("Sao Tomé");
        QTest::newRow("on the date line, from the west")
            << "Taveuni" << -16.8 << -180.0 << 10.0 << QByteArray("Taveuni;-16.8;-180;10\r\n")
            << "Taveuni";
        QTest::newRow("on the date line, from the east")
            << "Taveuni" << -16.8 << 180.0 << 10.0 << QByteArray("Taveuni;-16.8;180;10\r\n")
            << "Taveuni";
        QTest::newRow("no letter to fall back on")
            << QStringLiteral("北京") << 39.9 << 116.41 << 44.0
            << QByteArray("??;39.9;116.41;44\r\n") << QStringLiteral("??");
        QTest::newRow("code-page bytes that would read as UTF-8 are written in it")
            << QStringLiteral("TĂˇpĂ©") << 46.0 << 20.0 << 80.0
            << QByteArray("\xEF\xBB\xBFT\xC4\x82\xCB\x87p\xC4\x82\xC2\xA9;46;20;80\r\n")
            << QStringLiteral("TĂˇpĂ©");
        QTest::newRow("a line break would end the line")
            << QStringLiteral(" Kert\r\nház ") << 47.0 << 19.0 << 0.0
            << QByteArray("Kert h\xE1z;47;19;0\r\n") << QStringLiteral("Kert ház");
    }
    void placeFileRoundTrip() {
        QFETCH(QString, name);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(double, elevation);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        AppDir dir;
        QCOMPARE(SaveObserverPlace(dir.path(), {name, {latitude, longitude, elevation}}),
                 FileProblem::None);
        QCOMPARE(dir.read("hely.txt"), bytes);
        const PlaceReading reading = LoadObserverPlace(dir.path());
        QVERIFY(!reading.unreadable);
        QCOMPARE(reading.place.name, readBack);
        QVERIFY(std::abs(reading.place.place.latitude - latitude) < 1e-6);
        QVERIFY(std::abs(reading.place.place.longitude - longitude) < 1e-6);
        QCOMPARE(reading.place.place.elevation, elevation);
    }

    // Read leniently; what is not a place is reported once, with Budapest in
    // its stead, and the file is left as it was. No file at all is no fault.
    void placeFileReading_data() {
        QTest::addColumn<QByteArray>("bytes"); // "<absent>", "<dir>" or the file
        QTest::addColumn<QString>("name");     // empty: unreadable
        QTest::addColumn<double>("latitude");
        QTest::newRow("missing") << QByteArray("<absent>") << "Budapest" << 47.5;
        QTest::newRow("LF and no line end")
            << QByteArray("Eger;47.9;20.38;160\nmore") << "Eger" << 47.9;
        QTest::newRow("blanks and decimal commas")
            << QByteArray(" Eger ; 47,9 ; 20,38 ; 160 \r\n") << "Eger" << 47.9;
        QTest::newRow("empty lines first")
            << QByteArray("\r\n  \r\nEger;47.9;20.38;160") << "Eger" << 47.9;
        QTest::newRow("UTF-8 marked by an editor") << QByteArray("\xEF\xBB\xBFP\xC3\xA9"
                                                                 "cs;46.07;18.23;153\r\n")
                                                   << "Pécs" << 46.07;
        QTest::newRow("no name") << QByteArray(";46.07;18.23;153") << "megadott hely" << 46.07;
        QTest::newRow("empty file") << QByteArray("") << "" << 0.0;
        QTest::newRow("no elevation") << QByteArray("Eger;47.9;20.38\r\n") << "" << 0.0;
        QTest::newRow("past the pole") << QByteArray("Eger;95;20.38;160\r\n") << "" << 0.0;
        QTest::newRow("not a number") << QByteArray("Eger;észak;20.38;160") << "" << 0.0;
        QTest::newRow("NaN") << QByteArray("Eger;nan;20.38;160") << "" << 0.0;
        QTest::newRow("above the mountains") << QByteArray("Eger;47.9;20.38;9001\r\n") << "" << 0.0;
        QTest::newRow("too large") << QByteArray(1024 * 1024 + 1, ';') << "" << 0.0;
        QTest::newRow("directory in its place") << QByteArray("<dir>") << "" << 0.0;
    }
    void placeFileReading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(double, latitude);
        AppDir dir;
        if (bytes == "<dir>") {
            QVERIFY(QDir(dir.pic("")).mkdir("hely.txt"));
        } else if (bytes != "<absent>") {
            dir.write("hely.txt", bytes);
        }
        const PlaceReading reading = LoadObserverPlace(dir.path());
        QCOMPARE(reading.unreadable, name.isEmpty());
        QCOMPARE(reading.place.name, name.isEmpty() ? QStringLiteral("Budapest") : name);
        QCOMPARE(reading.place.place.latitude, name.isEmpty() ? 47.5 : latitude);
        QCOMPARE(reading.message.isEmpty(), !name.isEmpty());
        if (bytes == "<dir>") {
            QCOMPARE(reading.message, QStringLiteral("A 'hely.txt' fájl nem olvasható: a fájl "
                                                     "helyén egy mappa van. Helyette Budapest "
                                                     "adataival számolok."));
        } else if (name.isEmpty()) {
            QVERIFY2(reading.message.startsWith(u"A 'hely.txt' fájl nem olvasható: "),
                     qPrintable(reading.message));
            QCOMPARE(dir.read("hely.txt"), bytes);
        }
        QCOMPARE(QFileInfo::exists(dir.pic("hely.txt")), bytes != "<absent>");
    }

    // The place's clock: an optional last field, written only when the place
    // has a zone of its own; a line without one, as older versions wrote it,
    // is a place on the system's clock, and so is a zone nobody knows, said.
    void placeFileZone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");  // empty: unreadable
        QTest::addColumn<QString>("zone");  // as kept; empty for the system's
        QTest::addColumn<QString>("clock"); // the zone the place's times are shown in
        QTest::addColumn<bool>("said");
        const QString system = QStringLiteral("Asia/Tokyo");
        QTest::newRow("its own zone")
            << QByteArray("Szeged;46.25;20.14;75;Europe/Budapest\r\n") << "Szeged"
            << "Europe/Budapest"
            << "Europe/Budapest" << false;
        QTest::newRow("four fields: the system's clock")
            << QByteArray("Szeged;46.25;20.14;75\r\n") << "Szeged"
            << "" << system << false;
        QTest::newRow("a zone nobody knows")
            << QByteArray("Szeged;46.25;20.14;75;Europe/Szeged\r\n") << "Szeged"
            << "" << system << true;
        QTest::newRow("a zone in lower case")
            << QByteArray("Szeged;46.25;20.14;75;europe/budapest") << "Szeged"
            << "" << system << true;
        QTest::newRow("blanks and decimal commas")
            << QByteArray(" Quito ; -0,17 ; -78,47 ; 2850 ; America/Guayaquil \n") << "Quito"
            << "America/Guayaquil"
            << "America/Guayaquil" << false;
        QTest::newRow("an alias") << QByteArray("Delhi;28.61;77.21;216;Asia/Calcutta") << "Delhi"
                                  << "Asia/Calcutta"
                                  << "Asia/Calcutta" << false;
        QTest::newRow("a ';' in the name")
            << QByteArray("Tanya; a d\xFBl\xF5 v\xE9g\xE9n;46.5;20;80;Europe/Budapest")
            << QStringLiteral("Tanya; a dűlő végén") << "Europe/Budapest"
            << "Europe/Budapest" << false;
        QTest::newRow("an empty last field") << QByteArray("Eger;47.9;20.38;160;\r\n") << "Eger"
                                             << "" << system << false;
        QTest::newRow("a zone that would recolour a terminal")
            << QByteArray("Szeged;46.25;20.14;75;Europe/\x1b[31mBudapest") << "Szeged"
            << "" << system << true;
        QTest::newRow("the zone where the elevation belongs")
            << QByteArray("Eger;47.9;20.38;Europe/Budapest\r\n") << ""
            << "" << system << true;
    }
    void placeFileZone() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, zone);
        QFETCH(QString, clock);
        QFETCH(bool, said);
        const QByteArray oldTz = qgetenv("TZ");
        qputenv("TZ", "Asia/Tokyo");
        const auto restore = qScopeGuard([&] { qputenv("TZ", oldTz); });
        AppDir dir;
        dir.write("hely.txt", bytes);
        const PlaceReading reading = LoadObserverPlace(dir.path());
        QCOMPARE(reading.unreadable, name.isEmpty());
        QCOMPARE(reading.place.name, name.isEmpty() ? QStringLiteral("Budapest") : name);
        QCOMPARE(reading.place.zone, zone);
        QCOMPARE(QString::fromUtf8(ZoneOf(reading.place).id()), clock);
        QCOMPARE(!reading.message.isEmpty(), said);
        if (said && !name.isEmpty()) {
            QString bad = QString::fromLatin1(bytes.split(';').last().trimmed());
            bad.replace(u'\x1b', u' '); // said, never sent to the terminal
            QVERIFY2(reading.message.startsWith(u"A 'hely.txt' ") &&
                         reading.message.contains(QStringLiteral("'%1'").arg(bad)) &&
                         reading.message.contains(u"rendszer időzónáját"),
                     qPrintable(reading.message));
        }
        QCOMPARE(dir.read("hely.txt"), bytes);
        // Saved again, the zone is written only where the place has one.
        if (!name.isEmpty()) {
            QCOMPARE(SaveObserverPlace(dir.path(), reading.place), FileProblem::None);
            QCOMPARE(dir.read("hely.txt").endsWith(";" + zone.toUtf8() + "\r\n"), !zone.isEmpty());
            QCOMPARE(LoadObserverPlace(dir.path()).place.zone, zone);
        }
    }

    // horizont.txt as the place dialog saves it: one pair a line under a
    // comment, CR LF, and the skyline it reads back. A flat horizon leaves no
    // old skyline behind, and where there was none it makes no file.
    void horizonFileRoundTrip_data() {
        QTest::addColumn<QByteArray>("before"); // "<absent>" or the file
        QTest::addColumn<QString>("typed");     // the skyline, as a horizon list
        QTest::addColumn<QByteArray>("pairs");  // the file after its comment; "<absent>"
        const QByteArray old = "# old\r\n250 6\r\n";
        QTest::newRow("a hill in the west-south-west")
            << QByteArray("<absent>") << "240;0 | 247,5;6 | 255;0"
            << QByteArray("240 0\r\n247.5 6\r\n255 0\r\n");
        QTest::newRow("sorted, round the circle")
            << old << "370 2 | -10 1" << QByteArray("10 2\r\n350 1\r\n");
        QTest::newRow("the land falling away") << old << "90 -2.25" << QByteArray("90 -2.25\r\n");
        QTest::newRow("flat empties the file") << old << "" << QByteArray("");
        QTest::newRow("flat where there was none")
            << QByteArray("<absent>") << "" << QByteArray("<absent>");
    }
    void horizonFileRoundTrip() {
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(QByteArray, pairs);
        AppDir dir;
        if (before != "<absent>") {
            dir.write("horizont.txt", before);
        }
        const HorizonProfile skyline = ReadHorizonList(typed).profile;
        QCOMPARE(SaveHorizon(dir.path(), skyline), FileProblem::None);
        QByteArray bytes = dir.read("horizont.txt");
        if (!skyline.isFlat()) {
            QVERIFY2(bytes.startsWith("# ") && bytes.contains("\r\n"), bytes.constData());
            bytes.remove(0, bytes.indexOf("\r\n") + 2);
        }
        QCOMPARE(bytes, pairs);
        const HorizonFileReading reading = LoadHorizon(dir.path());
        QCOMPARE(reading.skyline, skyline);
        QVERIFY(!reading.unreadable);
        QCOMPARE(reading.message, QString());
    }

    // Read leniently, in either code page: the good lines stand and the bad
    // ones are named; a file that cannot be read is said, with the flat
    // horizon in its stead. The file is left as it was.
    void horizonFileReading_data() {
        QTest::addColumn<QByteArray>("bytes"); // "<absent>", "<dir>" or the file
        QTest::addColumn<QString>("skyline");  // as a horizon list
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<QString>("said"); // how the message starts; empty for none
        QTest::newRow("missing") << QByteArray("<absent>") << "" << false << "";
        QTest::newRow("empty") << QByteArray("") << "" << false << "";
        QTest::newRow("Windows-1250 comments, CR LF")
            << QByteArray("# T\xE9glagy\xE1ri k\xE9m\xE9ny\r\n\r\n240 0\r\n247.5 6 # a domb\r\n")
            << "240 0 | 247.5 6" << false << "";
        QTest::newRow("UTF-8 marked, decimal commas, LF")
            << QByteArray("\xEF\xBB\xBF# d\xC3\xA9li dombok\n240;0,5\n250;6\n") << "240 0.5 | 250 6"
            << false << "";
        QTest::newRow("bad lines named, the others stand")
            << QByteArray("240 0\r\nhegy\r\n250 70\r\n\r\n260 3\r\n260\r\n") << "240 0 | 260 3"
            << false << "A 'horizont.txt' fájl 2., 3. és 6. sorát kihagyom: ";
        QTest::newRow("binary after a pair") << QByteArray("250 2\0\x01\xff", 8) << "" << false
                                             << "A 'horizont.txt' fájl 1. sorát kihagyom: ";
        QTest::newRow("a thousand lines of noise")
            << QByteArray("x\r\n").repeated(1000) + "250 2\r\n"
            << "250 2" << false << "A 'horizont.txt' fájl 1., 2., 3., 4., 5. és további 995 sorát";
        QTest::newRow("too large") << QByteArray("250 2\r\n").repeated(200000) << "" << true
                                   << "A 'horizont.txt' fájl nem olvasható: túl nagy";
        QTest::newRow("directory in its place")
            << QByteArray("<dir>") << "" << true
            << "A 'horizont.txt' fájl nem olvasható: a fájl helyén egy mappa van. Helyette sík";
    }
    void horizonFileReading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, skyline);
        QFETCH(bool, unreadable);
        QFETCH(QString, said);
        AppDir dir;
        if (bytes == "<dir>") {
            QVERIFY(QDir(dir.pic("")).mkdir("horizont.txt"));
        } else if (bytes != "<absent>") {
            dir.write("horizont.txt", bytes);
        }
        const HorizonFileReading reading = LoadHorizon(dir.path());
        QCOMPARE(reading.skyline, ReadHorizonList(skyline).profile);
        QCOMPARE(reading.unreadable, unreadable);
        QVERIFY2(said.isEmpty() ? reading.message.isEmpty() : reading.message.startsWith(said),
                 qPrintable(reading.message));
        if (bytes != "<dir>") {
            QCOMPARE(dir.read("horizont.txt"), bytes);
        }
    }

    // What a killed save left beside a data file goes at the next start: only
    // QSaveFile's form of name, only a file, only after a minute.
    void staleSaveCopies_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // file, dir or link (to a file "target")
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        QTest::newRow("utolso.txt's") << "utolso.txt.AbCdEf"
                                      << "file" << 120 << true;
        QTest::newRow("ujhold.txt's") << "ujhold.txt.zzZzzz"
                                      << "file" << 3600 << true;
        QTest::newRow("ujholdak.txt's") << "ujholdak.txt.QwERTY"
                                        << "file" << 86400 << true;
        QTest::newRow("hely.txt's") << "hely.txt.AbCdEf"
                                    << "file" << 120 << true;
        QTest::newRow("the user's own copy") << "utolso.txt.backup"
                                             << "file" << 86400 << false;
        QTest::newRow("a save still writing") << "utolso.txt.AbCdEf"
                                              << "file" << 20 << false;
        QTest::newRow("a digit") << "utolso.txt.AbCdE1"
                                 << "file" << 120 << false;
        QTest::newRow("seven letters") << "utolso.txt.AbCdEfG"
                                       << "file" << 120 << false;
        QTest::newRow("five letters") << "utolso.txt.AbCdE"
                                      << "file" << 120 << false;
        QTest::newRow("no dot") << "utolso.txtAbCdEfG"
                                << "file" << 120 << false;
        QTest::newRow("another file's") << "masik.txt.AbCdEf"
                                        << "file" << 120 << false;
        QTest::newRow("the file itself") << "utolso.txt"
                                         << "file" << 120 << false;
        QTest::newRow("a folder") << "utolso.txt.AbCdEf"
                                  << "dir" << 120 << false;
        QTest::newRow("a link") << "utolso.txt.AbCdEf"
                                << "link" << 120 << false;
    }
    void staleSaveCopies() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(int, ageSeconds);
        QFETCH(bool, removed);
        AppDir dir;
        const QString path = dir.pic(name);
        if (kind == "dir") {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == "link") {
            dir.write("target", "x");
            QVERIFY(QFile::link(dir.pic("target"), path));
        } else {
            dir.write(name, "2026-11-20 06:47\r\n");
        }
        // Through a link, its target's age.
        const timeval then{QDateTime::currentSecsSinceEpoch() - ageSeconds, 0};
        const timeval times[2]{then, then};
        QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);
        RemoveStaleSaveCopies(dir.path());
        QCOMPARE(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), removed);
        QVERIFY(kind != "link" || QFileInfo::exists(dir.pic("target")));
    }

    void unreadableFileIsReported() {
        if (geteuid() == 0) {
            QSKIP("root reads every file");
        }
        AppDir dir;
        dir.write("ujhold.txt", "secret\r\n");
        QFile::setPermissions(dir.pic("ujhold.txt"), QFile::WriteOwner);
        FakeFields f;
        f.newMoon = "keep";
        FakeMessenger m;
        LoadNewMoon(dir.path(), f, m);
        QCOMPARE(f.newMoon, "keep");
        QCOMPARE(m.shown.size(), 1);
        QCOMPARE(m.shown[0].text,
                 QStringLiteral("Az 'ujhold.txt' fájl nem olvasható: nincs hozzá jogosultság."));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
