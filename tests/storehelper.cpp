// A child process for the tests that a test process cannot do to itself: be
// killed in the middle of a save, run without root's rights, or write to a
// filesystem that is full. It runs its arguments as a list of steps and prints
// what the user would have seen, one line each, to stdout.
//
//   nobody                     give up root's rights (no-op for other users)
//   tmpfs DIR KIB              mount a private tmpfs of KIB KiB on DIR (exit 77 if refused)
//   read-only DIR              make that tmpfs read-only
//   env NAME VALUE             set an environment variable; VALUE <unset> removes it
//   mkdir DIR                  make DIR (set-up)
//   fill DIR                   write DIR/filler until the filesystem is full
//   fsize-limit BYTES          no file may grow beyond BYTES (RLIMIT_FSIZE)
//   memory-limit MIB           no more address space than MIB MiB (RLIMIT_AS), so that
//                              reading a huge file fails here and not on the machine;
//                              none under AddressSanitizer, which reserves terabytes
//   fail-sync                  every flush to the disk (fdatasync) fails with EIO
//   put FILE TEXT              write TEXT to FILE with plain QFile (set-up)
//   save-newmoon APPDIR TEXT   SaveNewMoon with Text11 = TEXT
//   save-observation APPDIR TEXT
//   save-place APPDIR NAME     saves the place NAME (Budapest's coordinates) to hely.txt
//   save-horizon APPDIR LIST   saves the skyline of the horizon list LIST to horizont.txt
//   load-newmoon APPDIR        LoadNewMoon, prints "text11 <hex>" when it loaded
//   load-observation APPDIR
//   fill-list APPDIR           FillNewMoonList, prints "entries <count>"
//   measure-list APPDIR        FillNewMoonList, prints "list <count> <longest entry's
//                              length> <the last entry in hex>"
//   dump APPDIR                prints "ujhold.txt <hex>", "utolso.txt <hex>", "left <names>"
//   start PROGRAMDIR           the window's start with the files: its places (from
//                              HOME and XDG_DATA_HOME) and what it does with the data
//                              files on 2026-12-07; prints "pictures <place>",
//                              "data <place>" and the messages
//   load-log APPDIR            reads the log's rows, prints "rows <count>" and
//                              "unread <line numbers, comma-separated>"
//   add-log APPDIR COUNT TAG   adds COUNT entries one by one, as the log window adds
//                              them (SaveLogChanges on the rows last read or saved),
//                              their notes TAG and a number; prints "saved <count>"
//   write-loop APPDIR FILE     saves FILE (newmoon|observation) over and over with
//                              the contents of LoopContents, until killed; prints
//                              "ready", then '<' before and '>' after each save

#include "storehelper.h"
#include "evaluation/newmoonlist.h"
#include "fakes.h"
#include "processrun.h"
#include "store/appdirs.h"
#include "store/datafiles.h"
#include "store/horizonfile.h"
#include "store/logfile.h"
#include "store/placefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace lunex;
using namespace lunex::test;

namespace {

bool g_failSync = false;

struct PrintingMessenger : Messenger {
    void showMessage(const QString &text, MessageIcon icon) override {
        std::printf("message %s %s\n", icon == MessageIcon::Critical ? "critical" : "warning",
                    text.toUtf8().constData());
    }
};

void printBytes(const char *label, const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::printf("%s <absent>\n", label);
        return;
    }
    std::printf("%s %s\n", label, f.readAll().toHex().constData());
}

bool mountTmpfs(const QString &dir, const QString &kib) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return false;
    }
    const QByteArray options = "size=" + kib.toLatin1() + "k";
    return mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.constData()) == 0;
}

void fill(const QString &dir) {
    QFile f(dir + "/filler");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return;
    }
    const QByteArray block(512, 'x');
    while (f.write(block) == block.size()) {
    }
    // Whatever space is left is smaller than a block: take it byte by byte.
    while (f.write("x", 1) == 1) {
    }
}

void loadLog(const QString &dir) {
    QFile file(AppPath(dir, ObservationLogFile));
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("cannot read the log\n");
        return;
    }
    QList<int> unread;
    const QList<LogRow> rows = ParseLogFile(file.readAll(), &unread);
    QStringList lines;
    for (const int line : unread) {
        lines << QString::number(line);
    }
    std::printf("rows %lld\n", static_cast<long long>(rows.size()));
    std::printf("unread %s\n",
                qPrintable(lines.isEmpty() ? QStringLiteral("-") : lines.join(u',')));
}

void addToLog(const QString &dir, int count, const QString &tag) {
    LogReading log = LoadObservationLog(dir);
    LogEntry e;
    e.placeName = QStringLiteral("Szeged");
    e.place = {46.25, 20.14, 75};
    e.moment = QDateTime(QDate(2027, 3, 9), QTime(18, 20), QTimeZone("Europe/Budapest"));
    e = Predicted(e);
    int saved = 0;
    for (int i = 0; i < count; ++i) {
        e.notes = QStringLiteral("%1 %2").arg(tag).arg(i);
        QList<LogRow> changed = log.rows;
        changed.append({e, {}});
        LogSaving saving = SaveLogChanges(dir, log, changed);
        if (saving.saved) {
            log = std::move(saving.log);
            ++saved;
        } else {
            std::printf("message %s\n", saving.message.toUtf8().constData());
        }
    }
    std::printf("saved %d\n", saved);
}

} // namespace

// A disk that fails while flushing cannot be had on demand: this definition
// stands in for the C library's, in the store's code and in Qt's alike.
extern "C" int fdatasync(int fd) {
    if (g_failSync) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_fdatasync, fd));
}

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QStringList args = app.arguments().mid(1);
    PrintingMessenger messages;
    FakeFields fields;
    FakeList list;
    for (qsizetype i = 0; i < args.size();) {
        const QString step = args.at(i++);
        const auto next = [&] { return i < args.size() ? args.at(i++) : QString(); };
        if (step == "nobody") {
            if (!Become(Nobody())) {
                std::printf("cannot drop root\n");
                return 2;
            }
        } else if (step == "tmpfs") {
            const QString dir = next();
            if (!mountTmpfs(dir, next())) {
                return 77;
            }
        } else if (step == "read-only") {
            if (mount(nullptr, QFile::encodeName(next()).constData(), nullptr,
                      MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
                return 77;
            }
        } else if (step == "env") {
            const QByteArray name = next().toUtf8();
            const QString value = next();
            if (value == u"<unset>") {
                qunsetenv(name.constData());
            } else {
                qputenv(name.constData(), value.toUtf8());
            }
        } else if (step == "start") {
            const AppDirs dirs = PrepareAppDirs(next(), UserDataDir());
            std::printf("pictures %s\n", qPrintable(dirs.pictures));
            std::printf("data %s\n", qPrintable(dirs.data));
            PrepareDataFiles(dirs.data, ReadSystemZone(), QDate(2026, 12, 7), messages);
        } else if (step == "mkdir") {
            QDir().mkpath(next());
        } else if (step == "fill") {
            fill(next());
        } else if (step == "fsize-limit") {
            // Writing past the limit fails with EFBIG instead of killing us.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t bytes = next().toULongLong();
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        } else if (step == "memory-limit") {
            [[maybe_unused]] const rlim_t bytes = next().toULongLong() * 1024 * 1024;
#ifndef __SANITIZE_ADDRESS__
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_AS, &limit);
#endif
        } else if (step == "fail-sync") {
            g_failSync = true;
        } else if (step == "put") {
            QFile f(next());
            const QByteArray bytes = next().toUtf8();
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
                std::printf("cannot put %s\n", qPrintable(f.fileName()));
                return 2;
            }
        } else if (step == "save-newmoon") {
            const QString dir = next();
            fields.newMoon = next();
            std::printf("saved %d\n", SaveNewMoon(dir, fields, messages));
        } else if (step == "save-observation") {
            const QString dir = next();
            fields.observation = next();
            std::printf("saved %d\n", SaveObservation(dir, fields, messages));
        } else if (step == "save-place") {
            const QString dir = next();
            ObserverPlace place = DefaultObserverPlace();
            place.name = next();
            const FileProblem problem = SaveObserverPlace(dir, place);
            if (problem != FileProblem::None) {
                messages.showMessage(WriteFailureMessage(FileNameOf(PlaceFile), problem),
                                     MessageIcon::Critical);
            }
            std::printf("saved %d\n", problem == FileProblem::None);
        } else if (step == "save-horizon") {
            const QString dir = next();
            const FileProblem problem = SaveHorizon(dir, ReadHorizonList(next()).profile);
            if (problem != FileProblem::None) {
                messages.showMessage(WriteFailureMessage(FileNameOf(HorizonFile), problem),
                                     MessageIcon::Critical);
            }
            std::printf("saved %d\n", problem == FileProblem::None);
        } else if (step == "load-newmoon") {
            fields.newMoon = "unchanged";
            LoadNewMoon(next(), fields, messages);
            std::printf("text11 %s\n", fields.newMoon.toUtf8().toHex().constData());
        } else if (step == "load-observation") {
            fields.observation = "unchanged";
            std::printf("loaded %d\n", LoadObservation(next(), fields, messages));
            std::printf("text12 %s\n", fields.observation.toUtf8().toHex().constData());
        } else if (step == "fill-list") {
            FillNewMoonList(next(), list);
            std::printf("entries %lld\n", static_cast<long long>(list.entries.size()));
        } else if (step == "measure-list") {
            FillNewMoonList(next(), list);
            qsizetype longest = 0;
            for (const QString &entry : list.entries) {
                longest = std::max(longest, entry.size());
            }
            std::printf("list %lld %lld %s\n", static_cast<long long>(list.entries.size()),
                        static_cast<long long>(longest),
                        list.entries.value(list.entries.size() - 1).toUtf8().toHex().constData());
        } else if (step == "dump") {
            const QString dir = next();
            printBytes("ujhold.txt", AppPath(dir, NewMoonFile));
            printBytes("utolso.txt", AppPath(dir, ObservationFile));
            const QStringList left = QDir(dir + "/Pic")
                                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                        QDir::NoDotAndDotDot,
                                                    QDir::Name);
            std::printf("left %s\n", left.join(u',').toUtf8().constData());
        } else if (step == "load-log") {
            loadLog(next());
        } else if (step == "add-log") {
            const QString dir = next();
            const int count = next().toInt();
            addToLog(dir, count, next());
        } else if (step == "write-loop") {
            const QString dir = next();
            const bool newMoon = next() == "newmoon";
            const QStringList contents = LoopContents();
            std::printf("ready\n");
            for (qsizetype n = 0;; ++n) {
                const QString &text = contents.at(n % contents.size());
                // The markers tell the killer whether it struck inside a save.
                std::fputc('<', stdout);
                if (newMoon) {
                    fields.newMoon = text;
                    SaveNewMoon(dir, fields, messages);
                } else {
                    fields.observation = text;
                    SaveObservation(dir, fields, messages);
                }
                std::fputc('>', stdout);
            }
        } else {
            std::printf("unknown step %s\n", qPrintable(step));
            return 2;
        }
    }
    return 0;
}
