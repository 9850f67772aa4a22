// Saves and loads on a disk that refuses them: a full filesystem, a write-
// protected directory or file, a file that may not be read. Each gives its
// message and loses nothing. Root ignores permissions, so those cases run in
// lunex-storehelper after it has given up root's rights; the full disk is a real
// tmpfs where one can be mounted, and a file-size limit everywhere.

#include "fakes.h"
#include "store/datafiles.h"
#include "storehelper.h"

#include <QFileInfo>
#include <QTest>

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
        QTest::newRow("read-only Pic directory")
            << 0555 << 0644 << QStringList{cannotSave("ujhold.txt", NoRights), "saved 0",
                                           cannotSave("utolso.txt", NoRights), "saved 0",
                                           "text11 " + hex(OldNewMoon),        "loaded 1",
                                           "text12 " + hex(OldObservation),    "entries 1"};
        QTest::newRow("write-protected files")
            << 0777 << 0444 << QStringList{cannotSave("ujhold.txt", NoRights), "saved 0",
                                           cannotSave("utolso.txt", NoRights), "saved 0",
                                           "text11 " + hex(OldNewMoon),        "loaded 1",
                                           "text12 " + hex(OldObservation),    "entries 1"};
        QTest::newRow("files without any permission")
            << 0777 << 0000
            << QStringList{cannotSave("ujhold.txt", NoRights),
                           "saved 0",
                           cannotSave("utolso.txt", NoRights),
                           "saved 0",
                           cannotRead("ujhold.txt", NoRights),
                           "text11 " + unchanged,
                           cannotRead("utolso.txt", NoRights),
                           "loaded 0",
                           "text12 " + unchanged,
                           "entries 0"};
        // Nothing in it can be seen, so the two files count as absent.
        QTest::newRow("Pic directory that cannot be entered")
            << 0600 << 0644
            << QStringList{cannotSave("ujhold.txt", NoRights),
                           "saved 0",
                           cannotSave("utolso.txt", NoRights),
                           "saved 0",
                           "message critical Az 'ujhold.txt' fájl nem található!",
                           "text11 " + unchanged,
                           "message critical Az 'utolsó.txt' fájl nem található!",
                           "loaded 0",
                           "text12 " + unchanged,
                           "entries 0"};
    }
    void confinedUserLosesNothing() {
        QFETCH(int, picMode);
        QFETCH(int, fileMode);
        QFETCH(QStringList, expected);
        AppDir dir;
        dir.write("ujhold.txt", OldNewMoon);
        dir.write("utolso.txt", OldObservation);
        dir.write("ujholdak.txt", "2026-11-20 06:47");
        // The helper runs as nobody when we are root: let it reach Pic.
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
        const auto mode = [](int unix) {
            // QFile's permission bits: owner 0x7000 / 0x0700 (user), group 0x0070, other 0x0007.
            const int owner = (unix >> 6) & 7, group = (unix >> 3) & 7, other = unix & 7;
            return QFileDevice::Permissions((owner << 12) | (owner << 8) | (group << 4) | other);
        };
        for (const char *name : {"ujhold.txt", "utolso.txt", "ujholdak.txt"}) {
            QVERIFY(QFile::setPermissions(dir.pic(name), mode(fileMode)));
        }
        QVERIFY(QFile::setPermissions(dir.pic(""), mode(picMode)));

        const HelperRun run = RunHelper(QStringList{"nobody"} + everyOperation(dir.path()));

        QVERIFY(QFile::setPermissions(dir.pic(""), mode(0755)));
        for (const char *name : {"ujhold.txt", "utolso.txt", "ujholdak.txt"}) {
            QVERIFY(QFile::setPermissions(dir.pic(name), mode(0644)));
        }
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, expected);
        QCOMPARE(dir.read("ujhold.txt"), OldNewMoon);
        QCOMPARE(dir.read("utolso.txt"), OldObservation);
        QCOMPARE(QDir(dir.pic("")).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"ujhold.txt", "ujholdak.txt", "utolso.txt"}));
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

    // A link whose target can be made is written through; one that points
    // into nowhere is named as such, and nothing changes.
    void danglingLinks() {
        AppDir dir;
        QVERIFY(QFile::link(dir.pic("target.txt"), dir.pic("ujhold.txt")));
        QVERIFY(QFile::link("/nonexistent/Pic/utolso.txt", dir.pic("utolso.txt")));
        FakeFields fields;
        fields.t11 = "2026-11-20 06:47";
        fields.t12 = "2026-11-23 17:30";
        FakeMessenger messages;
        QVERIFY(SaveNewMoon(dir.path(), fields, messages));
        QCOMPARE(dir.read("target.txt"), QByteArray("2026-11-20 06:47\r\n"));
        QVERIFY(QFileInfo(dir.pic("ujhold.txt")).isSymLink());
        QVERIFY(!SaveObservation(dir.path(), fields, messages));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text,
                 QStringLiteral("Az 'utolso.txt' fájl nem menthető: a fájl helyén egy sehová sem "
                                "mutató hivatkozás van."));
        QCOMPARE(fields.t12, "2026-11-23 17:30");
        QCOMPARE(QFileInfo(dir.pic("utolso.txt")).symLinkTarget(), "/nonexistent/Pic/utolso.txt");
    }

    // A write past RLIMIT_FSIZE fails with EFBIG the way a full disk fails.
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
