// Saves and loads on a disk that refuses them: a full filesystem, a write-
// protected directory or file, a file that may not be read. Each gives its
// message and loses nothing. Root ignores permissions, so those cases run in
// lunex-storehelper after it has given up root's rights; the full disk is a real
// tmpfs where one can be mounted, and a file-size limit everywhere.

#include "fakes.h"
#include "messages/messages.h"
#include "processrun.h"
#include "store/datafiles.h"
#include "storehelper.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace lunex;
using namespace lunex::test;

namespace {

const QByteArray OldNewMoon = "2026-10-21 14:25\r\n";
const QByteArray OldObservation = "2026-10-24 18:05\r\n";

QString cannotSave(const QString &file, const QString &reason) {
    return QStringLiteral("message critical Az '%1' fájl nem menthető: %2").arg(file, reason);
}
QString cannotRead(const QString &file, const QString &reason) {
    return QStringLiteral("message critical Az '%1' fájl nem olvasható: %2").arg(file, reason);
}
QString hex(const QString &text) {
    return QString::fromLatin1(text.toUtf8().toHex());
}

const QString NoRights = QStringLiteral("nincs hozzá jogosultság.");
const QString Full = QStringLiteral("megtelt a lemez, vagy írási hiba történt.");

// Every save and load the user has, with the texts they would carry.
QStringList everyOperation(const QString &dir) {
    return {"save-newmoon",
            dir,
            "2026-11-20 06:47",
            "save-observation",
            dir,
            "2026-11-23 17:30",
            "load-newmoon",
            dir,
            "load-observation",
            dir,
            "fill-list",
            dir};
}

} // namespace

class TestDiskFaults : public QObject {
    Q_OBJECT

private slots:
    void confinedUserLosesNothing_data() {
        QTest::addColumn<int>("picMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QStringList>("expected");
        const QString unchanged = hex("unchanged");
        // Every save refused as a permission problem; then what the loads see.
        const QStringList refused{cannotSave("ujhold.txt", NoRights), "saved 0",
                                  cannotSave("utolso.txt", NoRights), "saved 0"};
        const QStringList oldContent{"text11 " + hex(OldNewMoon), "loaded 1",
                                     "text12 " + hex(OldObservation), "entries 1"};
        const QStringList nothingFound{"message critical Az 'ujhold.txt' fájl nem található!",
                                       "text11 " + unchanged,
                                       "message critical Az 'utolsó.txt' fájl nem található!",
                                       "loaded 0",
                                       "text12 " + unchanged,
                                       "entries 0"};
        QTest::newRow("read-only Pic directory") << 0555 << 0644 << refused + oldContent;
        QTest::newRow("write-protected files") << 0777 << 0444 << refused + oldContent;
        QTest::newRow("files without any permission")
            << 0777 << 0000
            << refused + QStringList{cannotRead("ujhold.txt", NoRights),
                                     "text11 " + unchanged,
                                     cannotRead("utolso.txt", NoRights),
                                     "loaded 0",
                                     "text12 " + unchanged,
                                     "entries 0"};
        // Nothing in it can be seen, so the two files count as absent.
        QTest::newRow("Pic directory that cannot be entered")
            << 0600 << 0644 << refused + nothingFound;
        // Only the owner may replace a file in a sticky directory: the final
        // rename of the save fails, however writable the file is.
        QTest::newRow("sticky Pic, files of another user") << 01777 << 0666 << refused + oldContent;
        // No files (-1): the first save, into a Pic directory of another user.
        QTest::newRow("first save into a Pic of another user")
            << 0755 << -1 << refused + nothingFound;
    }
    void confinedUserLosesNothing() {
        QFETCH(int, picMode);
        QFETCH(int, fileMode);
        QFETCH(QStringList, expected);
        AppDir dir;
        const QStringList files =
            fileMode < 0 ? QStringList() : QStringList{"ujhold.txt", "ujholdak.txt", "utolso.txt"};
        if (fileMode >= 0) {
            dir.write("ujhold.txt", OldNewMoon);
            dir.write("utolso.txt", OldObservation);
            dir.write("ujholdak.txt", "2026-11-20 06:47");
        }
        // The helper runs as nobody when we are root: let it reach Pic.
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        const auto setModes = [&](int pic, int file) {
            for (const QString &name : files) {
                QCOMPARE(::chmod(QFile::encodeName(dir.pic(name)).constData(), mode_t(file)), 0);
            }
            QCOMPARE(::chmod(QFile::encodeName(dir.pic("")).constData(), mode_t(pic)), 0);
        };
        setModes(picMode, fileMode);

        const HelperRun run = RunHelper(QStringList{"nobody"} + everyOperation(dir.path()));

        setModes(0755, 0644);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, expected);
        if (fileMode >= 0) {
            QCOMPARE(dir.read("ujhold.txt"), OldNewMoon);
            QCOMPARE(dir.read("utolso.txt"), OldObservation);
        }
        QCOMPARE(QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden), files);
    }

    // The tmpfs is mounted in the helper's own mount namespace, so it vanishes
    // with the helper: the helper also reports what the files hold afterwards.
    void fullFilesystem() {
        AppDir dir;
        const QString mnt = dir.path() + "/mnt";
        QVERIFY(QDir().mkpath(mnt));
        const HelperRun run = RunHelper({"tmpfs",
                                         mnt,
                                         "64",
                                         "mkdir",
                                         mnt + "/Pic",
                                         "put",
                                         mnt + "/Pic/ujhold.txt",
                                         QString::fromLatin1(OldNewMoon),
                                         "put",
                                         mnt + "/Pic/utolso.txt",
                                         QString::fromLatin1(OldObservation),
                                         "fill",
                                         mnt,
                                         "save-newmoon",
                                         mnt,
                                         QString(8000, u'x'),
                                         "save-observation",
                                         mnt,
                                         "2026-11-23 17:30",
                                         "dump",
                                         mnt});
        if (run.exitCode == 77) {
            QSKIP("no tmpfs can be mounted here; the file-size limit stands in for it");
        }
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(
            run.lines,
            (QStringList{cannotSave("ujhold.txt", Full), "saved 0", cannotSave("utolso.txt", Full),
                         "saved 0", "ujhold.txt " + QString::fromLatin1(OldNewMoon.toHex()),
                         "utolso.txt " + QString::fromLatin1(OldObservation.toHex()),
                         "left ujhold.txt,utolso.txt"}));
    }

    // A link in a data file's place is never written through, whether its
    // target exists or not: the save names the file, and nothing changes.
    void danglingLinks() {
        AppDir dir;
        QVERIFY(QFile::link(dir.pic("target.txt"), dir.pic("ujhold.txt")));
        QVERIFY(QFile::link("/nonexistent/Pic/utolso.txt", dir.pic("utolso.txt")));
        FakeFields fields;
        fields.newMoon = "2026-11-20 06:47";
        fields.observation = "2026-11-23 17:30";
        FakeMessenger messages;
        QVERIFY(!SaveNewMoon(dir.path(), fields, messages));
        QVERIFY(!QFileInfo::exists(dir.pic("target.txt")));
        QVERIFY(QFileInfo(dir.pic("ujhold.txt")).isSymLink());
        QVERIFY(!SaveObservation(dir.path(), fields, messages));
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].text,
                 QStringLiteral("Az 'utolso.txt' fájl nem menthető: a fájl helyén egy sehová sem "
                                "mutató hivatkozás van."));
        QCOMPARE(fields.observation, "2026-11-23 17:30");
        QCOMPARE(QFileInfo(dir.pic("utolso.txt")).symLinkTarget(), "/nonexistent/Pic/utolso.txt");
    }

    // A portable Pic folder everyone may write to (sticky, as /tmp), where
    // another user has planted a link to a file of the one who runs Lunex:
    // the save refuses, naming the file, and the file the link leads to keeps
    // its content. Run as nobody, the planter is root.
    void plantedLinks_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("save");
        QTest::addColumn<QString>("named"); // the file, as the message names it
        QTest::newRow("ujhold.txt")
            << "ujhold.txt" << QStringList{"save-newmoon", "2026-11-20 06:47"} << "Az 'ujhold.txt'";
        QTest::newRow("utolso.txt")
            << "utolso.txt" << QStringList{"save-observation", "2026-11-23 17:30"}
            << "Az 'utolso.txt'";
        QTest::newRow("hely.txt") << "hely.txt" << QStringList{"save-place", "Szeged"}
                                  << "A 'hely.txt'";
        QTest::newRow("horizont.txt")
            << "horizont.txt" << QStringList{"save-horizon", "250;2 | 260;6"} << "A 'horizont.txt'";
    }
    void plantedLinks() {
        QFETCH(QString, file);
        QFETCH(QStringList, save);
        QFETCH(QString, named);
        AppDir app;
        QTemporaryDir victimHome;
        QVERIFY(victimHome.isValid());
        const QString precious = victimHome.filePath("precious.txt");
        const QByteArray content = "the user's own lines\n";
        {
            QFile f(precious);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        }
        if (geteuid() == 0) {
            const Identity nobody = Nobody();
            for (const QString &path : {victimHome.path(), precious}) {
                QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody.uid, nobody.gid), 0);
            }
        }
        QCOMPARE(::chmod(QFile::encodeName(app.path()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(app.pic("")).constData(), 01777), 0);
        QVERIFY(QFile::link(precious, app.pic(file)));
        const HelperRun run = RunHelper(QStringList{"nobody", save[0], app.path(), save[1]});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, (QStringList{"message critical " + named +
                                             " fájl nem menthető: a fájl helyén egy másik fájlra "
                                             "mutató hivatkozás van, azon át nem írok.",
                                         "saved 0"}));
        QFile read(precious);
        QVERIFY(read.open(QIODevice::ReadOnly));
        QCOMPARE(read.readAll(), content);
        QCOMPARE(QFileInfo(app.pic(file)).symLinkTarget(), precious);
    }

    // The save's rename would put an ordinary file in the place of a device or
    // a FIFO, also at the end of a link: refused, and the node stays.
    void noFileInItsPlace_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("character device") << "device";
        QTest::newRow("link to a FIFO") << "link";
    }
    void noFileInItsPlace() {
        QFETCH(QString, kind);
        AppDir dir;
        const QString node = dir.pic(kind == "link" ? "node" : "ujhold.txt");
        const QByteArray name = QFile::encodeName(node);
        if (kind == "device") {
            if (geteuid() != 0) {
                QSKIP("only root may make a device node (mknod)");
            }
            QCOMPARE(::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        } else {
            QCOMPARE(::mkfifo(name.constData(), 0666), 0);
        }
        if (kind == "link") {
            QVERIFY(QFile::link(node, dir.pic("ujhold.txt")));
        }
        struct stat before {};
        QCOMPARE(::stat(name.constData(), &before), 0);
        FakeFields fields;
        fields.newMoon = "2026-11-20 06:47";
        FakeMessenger messages;
        QVERIFY(!SaveNewMoon(dir.path(), fields, messages));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QStringLiteral("Az 'ujhold.txt' fájl nem menthető: a fájl "
                                                        "helyén egy eszköz vagy csővezeték van."));
        struct stat after {};
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_rdev, before.st_rdev);
        QCOMPARE(QFileInfo(dir.pic("ujhold.txt")).isSymLink(), kind == "link");
        QCOMPARE(
            QDir(dir.pic(""))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size(),
            kind == "link" ? 2 : 1);
    }

    // A disk that fails while flushing the new file: the save fails with its
    // message and the old file stays, without the new one's leftovers.
    void failedFlush() {
        AppDir dir;
        dir.write("ujhold.txt", OldNewMoon);
        const HelperRun run =
            RunHelper({"fail-sync", "save-newmoon", dir.path(), "2026-11-20 06:47"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, (QStringList{cannotSave("ujhold.txt", Full), "saved 0"}));
        QCOMPARE(dir.read("ujhold.txt"), OldNewMoon);
        QCOMPARE(QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"ujhold.txt"});
    }

    // The save makes a new file: it keeps the old one's owner and group where
    // the writer may give them (root), and saves all the same where not.
    void ownerAndGroupKept_data() {
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::newRow("root keeps both") << false << 4242u << 4343u;
        QTest::newRow("another user cannot") << true << 65534u << 65534u;
    }
    void ownerAndGroupKept() {
        QFETCH(bool, asNobody);
        QFETCH(uint, owner);
        QFETCH(uint, group);
        if (geteuid() != 0) {
            QSKIP("only root may give a file to another owner and group");
        }
        AppDir dir;
        dir.write("ujhold.txt", OldNewMoon);
        const QByteArray file = QFile::encodeName(dir.pic("ujhold.txt"));
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(dir.pic("")).constData(), 0777), 0);
        QCOMPARE(::chmod(file.constData(), 0666), 0);
        QCOMPARE(::chown(file.constData(), 4242, 4343), 0);
        const QStringList save{"save-newmoon", dir.path(), "2026-11-20 06:47"};
        const HelperRun run = RunHelper(asNobody ? QStringList{"nobody"} + save : save);
        QCOMPARE(run.lines, QStringList{"saved 1"});
        QCOMPARE(dir.read("ujhold.txt"), QByteArray("2026-11-20 06:47\r\n"));
        struct stat saved {};
        QCOMPARE(::stat(file.constData(), &saved), 0);
        QCOMPARE(uint(saved.st_uid), owner);
        QCOMPARE(uint(saved.st_gid), group);
        QCOMPARE(saved.st_mode & 07777, mode_t(0666));
    }

    // A write past RLIMIT_FSIZE fails with EFBIG the way a full disk fails.
    // Where the files are at the window's start when the home is odd or the
    // program lies on a read-only medium. The data files by the XDG rules (a
    // relative XDG_DATA_HOME is ignored), nothing written without a home
    // given by its full path, and a first start's list that cannot be written
    // said once; then a save. "<tmp>" is the test's folder, "<program>" the
    // program's, which has no Pic unless a row makes one.
    void placesAtStart_data() {
        QTest::addColumn<QStringList>("steps"); // before the start
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<QString>("data");     // empty for nowhere
        QTest::addColumn<QStringList>("said"); // at the start, then by the save
        const QString share = "<program>/../share/lunex";
        const QString home = "<tmp>/home/.local/share/lunex";
        const QStringList xdgUnset{"env", "XDG_DATA_HOME", "<unset>"};
        const QStringList withHome = xdgUnset + QStringList{"env", "HOME", "<tmp>/home"};
        const QStringList noHome{"message warning " + NoHomeMessage,
                                 cannotSave("ujhold.txt", "nincs saját mappa, ahová menthetném "
                                                          "(HOME)."),
                                 "saved 0"};
        const auto failing = [](const QString &reason) {
            return QStringList{cannotSave("ujholdak.txt", reason), cannotSave("ujhold.txt", reason),
                               "saved 0"};
        };
        QTest::newRow("HOME unset")
            << xdgUnset + QStringList{"env", "HOME", "<unset>"} << share << "" << noHome;
        QTest::newRow("HOME empty")
            << xdgUnset + QStringList{"env", "HOME", ""} << share << "" << noHome;
        QTest::newRow("HOME relative")
            << xdgUnset + QStringList{"env", "HOME", "home"} << share << "" << noHome;
        QTest::newRow("XDG_DATA_HOME relative, ignored")
            << QStringList{"env", "HOME", "<tmp>/home", "env", "XDG_DATA_HOME", "rel"} << share
            << home << QStringList{"saved 1"};
        QTest::newRow("XDG_DATA_HOME without HOME")
            << QStringList{"env", "HOME", "<unset>", "env", "XDG_DATA_HOME", "<tmp>/xdg"} << share
            << "<tmp>/xdg/lunex" << QStringList{"saved 1"};
        QTest::newRow("home is a file")
            << xdgUnset + QStringList{"put", "<tmp>/file", "x", "env", "HOME", "<tmp>/file"}
            << share << "<tmp>/file/.local/share/lunex" << failing("a 'Pic' mappa nem létezik.");
        const QStringList tmpfs{"tmpfs", "<tmp>", "64", "mkdir", home + "/Pic"};
        QTest::newRow("home on a read-only disk")
            << withHome + tmpfs + QStringList{"read-only", "<tmp>"} << share << home
            << failing("a lemez csak olvasható.");
        QTest::newRow("home on a full disk")
            << withHome + tmpfs + QStringList{"fill", "<tmp>"} << share << home << failing(Full);
        // The program's own pictures, where its Pic holds them.
        const QStringList medium{"tmpfs", "<program>", "64", "mkdir", "<program>/Pic"};
        QTest::newRow("a copy on a read-only medium")
            << withHome + medium +
                   QStringList{"put", "<program>/Pic/000-ujhold.gif", "GIF", "read-only",
                               "<program>"}
            << "<program>" << home << QStringList{"saved 1"};
        QTest::newRow("a read-only Pic without the pictures")
            << withHome + medium + QStringList{"read-only", "<program>"} << share << home
            << QStringList{"saved 1"};
    }
    void placesAtStart() {
        QFETCH(QStringList, steps);
        QFETCH(QString, pictures);
        QFETCH(QString, data);
        QFETCH(QStringList, said);
        const QTemporaryDir tmp;
        const QString program = tmp.path() + "/prefix/bin";
        QVERIFY(QDir().mkpath(program));
        for (QString *text : {&pictures, &data}) {
            text->replace("<tmp>", tmp.path()).replace("<program>", program);
        }
        steps.replaceInStrings("<tmp>", tmp.path()).replaceInStrings("<program>", program);
        const HelperRun run = RunHelper(
            steps + QStringList{"start", program, "save-newmoon", data, "2026-11-20 06:47"});
        if (run.exitCode == 77) {
            QSKIP("no tmpfs can be mounted here");
        }
        QCOMPARE(run.exitCode, 0);
        const QStringList places{"pictures " + QDir::cleanPath(pictures), "data " + data};
        QCOMPARE(run.lines, places + said);
        // Nothing made where the helper ran.
        for (const char *relative : {"rel", "home", "Pic", ".local"}) {
            QVERIFY2(!QFileInfo::exists(relative), relative);
        }
    }

    void fileSizeLimit() {
        AppDir dir;
        dir.write("ujhold.txt", OldNewMoon);
        dir.write("utolso.txt", OldObservation);
        const HelperRun run =
            RunHelper({"fsize-limit", "8", "save-newmoon", dir.path(), "2026-11-20 06:47",
                       "save-observation", dir.path(), "2026-11-23 17:30"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, (QStringList{cannotSave("ujhold.txt", Full), "saved 0",
                                         cannotSave("utolso.txt", Full), "saved 0"}));
        QCOMPARE(dir.read("ujhold.txt"), OldNewMoon);
        QCOMPARE(dir.read("utolso.txt"), OldObservation);
        QCOMPARE(QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"ujhold.txt", "utolso.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
