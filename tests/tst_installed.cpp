// Lunex installed into a prefix and used the way a new user uses it: as someone
// other than root, with a home of their own, the window on an X server of its
// own and driven by keys from outside, as a person at the keyboard drives it.
// The prefix belongs to that user, so a write into it would not fail unseen but
// show in the listing; only the Pic folder an older install left beside the
// programs is root's.

#include "processrun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using namespace lunex::test;

namespace {

// How long a key's effect may take to show in a file: far beyond what it
// needs, even instrumented, since on a failure Qt waits twice as long again.
constexpr int Patience = 30000;

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// Every file and folder below `dir`, with what would change if it were written.
QStringList Listing(const QString &dir) {
    QStringList lines;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        lines << QStringLiteral("%1 %2 %3")
                     .arg(info.filePath().mid(dir.size()))
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch());
    }
    lines.sort();
    return lines;
}

bool GiveTo(const QString &path, Identity who) {
    if (geteuid() != 0) {
        return true;
    }
    bool given = ::lchown(QFile::encodeName(path).constData(), who.uid, who.gid) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        given = ::lchown(QFile::encodeName(it.next()).constData(), who.uid, who.gid) == 0 && given;
    }
    return given;
}

} // namespace

class TestInstalled : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString prefix_, home_, userPic_;
    QStringList prefixBefore_;
    QProcess xserver_;
    QString display_;

    RunOptions asUser() const {
        RunOptions options;
        options.onlyGivenEnvironment = true;
        options.asNobody = true;
        options.environment = {{"PATH", "/usr/bin:/bin"},
                               {"HOME", home_},
                               {"XDG_RUNTIME_DIR", root_.filePath("run")},
                               {"DISPLAY", display_},
                               {"QT_QPA_PLATFORM", "xcb"},
                               // No session bus: nothing may start one in the user's name.
                               {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"},
                               {"TZ", "UTC"},
                               {"LC_ALL", "C.UTF-8"},
                               {"LANG", "C.UTF-8"}};
        for (const char *name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
            if (qEnvironmentVariableIsSet(name)) {
                options.environment.insert(name, qEnvironmentVariable(name));
            }
        }
        return options;
    }
    // xdotool's answer, or nothing when it failed.
    std::optional<QString> xdotool(const QStringList &args) const {
        const Run r = RunProgram("xdotool", args, {{{"DISPLAY", display_}}});
        if (r.code != 0) {
            qWarning() << "xdotool" << args << r.err;
            return std::nullopt;
        }
        return r.out.trimmed();
    }

private slots:
    void initTestCase() {
        for (const char *tool : {"Xvfb", "xdotool"}) {
            QVERIFY2(
                !QStandardPaths::findExecutable(tool).isEmpty(),
                qPrintable(
                    QStringLiteral("%1 is missing: scripts/setup-deps.sh installs it").arg(tool)));
        }
        QVERIFY(root_.isValid());
        QCOMPARE(::chmod(QFile::encodeName(root_.path()).constData(), 0755), 0);
        prefix_ = root_.filePath("prefix");
        home_ = root_.filePath("home");
        userPic_ = home_ + "/.local/share/lunex/Pic";
        RunOptions slow;
        slow.timeoutMs = 240000;
        const Run install =
            RunProgram(LUNEX_CMAKE, {"--install", LUNEX_BUILD_DIR, "--prefix", prefix_}, slow);
        QVERIFY2(install.code == 0, qPrintable(install.err));
        QVERIFY(QDir().mkpath(home_));
        QVERIFY(QDir().mkpath(root_.filePath("run")));
        QVERIFY(QFile::setPermissions(root_.filePath("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(GiveTo(prefix_, Nobody()) && GiveTo(home_, Nobody()) &&
                GiveTo(root_.filePath("run"), Nobody()));
        QVERIFY(QDir(prefix_ + "/bin").mkdir("Pic"));
        QVERIFY(QFile::setPermissions(prefix_ + "/bin/Pic", QFile::ReadOwner | QFile::ExeOwner |
                                                                QFile::ReadOther |
                                                                QFile::ExeOther));
        prefixBefore_ = Listing(prefix_);

        // -displayfd: the server takes a free display and names it on stdout.
        Prepare(xserver_, {});
        xserver_.start("Xvfb",
                       {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QVERIFY(xserver_.waitForStarted());
        while (!xserver_.canReadLine() && xserver_.waitForReadyRead(60000)) {
        }
        display_ = ':' + QString::fromLatin1(xserver_.readLine().trimmed());
        QVERIFY2(display_.size() > 1, "Xvfb named no display");
    }

    void cleanupTestCase() {
        xserver_.terminate();
        xserver_.waitForFinished();
    }

    void windowKeepsTheUsersFilesInTheirFolder() {
        QProcess lunex;
        Prepare(lunex, asUser());
        lunex.start(prefix_ + "/bin/lunex", {});
        QVERIFY(lunex.waitForStarted());
        const auto stop = qScopeGuard([&] {
            lunex.kill();
            lunex.waitForFinished();
        });
        // Found by the class that the desktop entry names: a dock ties them by it.
        QString wmClass;
        for (const QByteArray &line :
             ReadBytes(prefix_ + "/share/applications/hu.lunex.Lunex.desktop").split('\n')) {
            if (line.startsWith("StartupWMClass=")) {
                wmClass = QString::fromUtf8(line.mid(15));
            }
        }
        QVERIFY(!wmClass.isEmpty());
        const auto found =
            xdotool({"search", "--sync", "--onlyvisible", "--class", '^' + wmClass + '$'});
        QVERIFY(found);
        const QString window = found->section('\n', 0, 0);
        QVERIFY(xdotool({"getwindowname", window}).value_or("").startsWith("Lunex  - "));
        // The list of the first start is made before the window shows.
        QVERIFY(
            ReadBytes(userPic_ + "/ujholdak.txt").startsWith("\xDAjholdak (helyi id\xF5: UTC)"));

        // "Most!", fourth after the new-moon field: the phase picture comes from
        // share, and only then is the new moon stored.
        QVERIFY(xdotool({"windowfocus", "--sync", window}));
        QVERIFY(xdotool({"type", "2026-11-20 06:47"}));
        QVERIFY(xdotool({"key", "Tab", "Tab", "Tab", "Tab", "space"}));
        QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(userPic_ + "/ujhold.txt"),
                                  QByteArray("2026-11-20 06:47\r\n"), Patience);
        // "Mentés", the next: the moment just evaluated.
        QVERIFY(xdotool({"key", "Tab", "space"}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(userPic_ + "/utolso.txt"), Patience);
        QVERIFY(ReadBytes(userPic_ + "/utolso.txt").endsWith("\r\n"));
        // "Utolsó megfigyelés", two back: it reads utolso.txt, evaluates and
        // stores the new moon once more.
        QVERIFY(QFile::remove(userPic_ + "/ujhold.txt"));
        QVERIFY(xdotool({"key", "shift+Tab", "shift+Tab", "space"}));
        QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(userPic_ + "/ujhold.txt"),
                                  QByteArray("2026-11-20 06:47\r\n"), Patience);
        QCOMPARE(lunex.state(), QProcess::Running);

        QCOMPARE(Listing(prefix_), prefixBefore_);
        // Besides its three files only fontconfig's cache of the system's fonts,
        // which is not Lunex's to write, may appear.
        QStringList written;
        for (const QString &line : Listing(home_)) {
            if (!line.startsWith("/.cache")) {
                written << line.section(u' ', 0, 0);
            }
        }
        QCOMPARE(written,
                 (QStringList{"/.local", "/.local/share", "/.local/share/lunex",
                              "/.local/share/lunex/Pic", "/.local/share/lunex/Pic/ujhold.txt",
                              "/.local/share/lunex/Pic/ujholdak.txt",
                              "/.local/share/lunex/Pic/utolso.txt"}));
    }

    void companionsRunFromThePrefix() {
        const Run age = RunProgram(prefix_ + "/bin/lunex-age",
                                   {"2026-11-20 06:47", "2026-11-23 17:30"}, asUser());
        QCOMPARE(age.code, 0);
        QCOMPARE(age.out.section('\n', 1, 1), "Holdsarló kora:         82 óra 43 perc");
        const QString list = home_ + "/ujholdak-2026.txt";
        const Run newMoons =
            RunProgram(prefix_ + "/bin/lunex-newmoons",
                       {"--utc", "--from", "2026", "--to", "2026", list}, asUser());
        QCOMPARE(newMoons.code, 0);
        QVERIFY(ReadBytes(list).startsWith("\xDAjholdak (UTC)\r\n2026-01-18 "));
        QCOMPARE(Listing(prefix_), prefixBefore_);
    }

    // A regional map has its borders read by the helper installed beside the
    // programs, found from their folder when the whole prefix has moved.
    void regionalMapFromAMovedPrefix() {
        const QString moved = prefix_ + "-moved";
        QVERIFY(QDir().rename(prefix_, moved));
        const auto back = qScopeGuard([&] { QDir().rename(moved, prefix_); });
        const QString map = home_ + "/region.png";
        const Run crescents = RunProgram(moved + "/bin/lunex-crescents",
                                         {"--map", "2026-12-10", "--region", "44,-120,54,-100",
                                          "--step", "1", "--no-texture", "--out", map},
                                         asUser());
        QCOMPARE(crescents.code, 0);
        QVERIFY2(crescents.err.isEmpty(), qPrintable(crescents.err));
        QVERIFY(QFile::exists(map));
    }
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "tst_installed.moc"
