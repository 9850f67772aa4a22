// bench_logfile make ENTRIES APPDIR: writes a naplo.csv of ENTRIES evenings
// into APPDIR/Pic for bench/run.sh.
// bench_logfile run APPDIR: the log as the window meets it: loaded, an entry
// added and saved (the file unchanged since it was read), then another added
// after a second copy saved one of its own (the save merges the two). Prints
// "load_ms=… save_ms=… save_hwm=… merge_ms=… file_kb=… VmRSS=… VmHWM=…" to
// stderr, save_hwm the peak memory (kB) of the loading and the first save,
// as a window that opens the log and adds an entry has it.

#include "benchlog.h"
#include "store/logfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>
#include <QTimeZone>

using namespace lunex;

namespace {

using bench::BenchLogEntry;

int Make(int entries, const QString &dir) {
    QDir(dir).mkpath(QStringLiteral("Pic"));
    return bench::WriteBenchLog(dir, entries) == FileProblem::None ? 0 : 1;
}

QString Memory(const char *only = nullptr) {
    QFile status(QStringLiteral("/proc/self/status"));
    QString out;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if ((only == nullptr && line.startsWith("VmRSS:")) || line.startsWith("VmHWM:")) {
                out +=
                    QString::fromLatin1(line.simplified().replace(": ", "=").replace(" kB", "")) +
                    u' ';
            }
        }
    }
    return out;
}

int Run(const QString &dir) {
    QElapsedTimer timer;
    timer.start();
    const LogReading read = LoadObservationLog(dir);
    const qint64 loadMs = timer.restart();
    QList<LogRow> changed = read.rows;
    changed.append({BenchLogEntry(-1), {}});
    const LogSaving saved = SaveLogChanges(dir, read, changed);
    const qint64 saveMs = timer.elapsed();
    const QString saveMemory =
        Memory("peak").replace(QStringLiteral("VmHWM"), QStringLiteral("save_hwm"));
    // Another copy saves an entry of its own; this one's next save merges.
    QList<LogRow> other = saved.log.rows;
    other.append({BenchLogEntry(-2), {}});
    if (!saved.saved || SaveObservationLog(dir, other) != FileProblem::None) {
        return 1;
    }
    changed = saved.log.rows;
    changed.append({BenchLogEntry(-3), {}});
    timer.restart();
    const LogSaving merged = SaveLogChanges(dir, saved.log, changed);
    const qint64 mergeMs = timer.elapsed();
    if (!merged.saved || merged.log.rows.size() != read.rows.size() + 3) {
        return 1;
    }
    const qint64 fileKb = QFileInfo(dir + QStringLiteral("/Pic/naplo.csv")).size() / 1024;
    QTextStream(stderr) << "load_ms=" << loadMs << " save_ms=" << saveMs << ' ' << saveMemory
                        << "merge_ms=" << mergeMs << " file_kb=" << fileKb << ' ' << Memory()
                        << '\n';
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == u"make") {
        return Make(args[2].toInt(), args[3]);
    }
    if (args.size() == 3 && args[1] == u"run") {
        return Run(args[2]);
    }
    qCritical("usage: bench_logfile make ENTRIES APPDIR | bench_logfile run APPDIR");
    return 2;
}
