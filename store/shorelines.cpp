#include "store/shorelines.h"

#include "messages/crescenttexts.h"
#include "messages/messages.h"
#include "store/fileio.h"
#include "store/shorelinetext.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <algorithm>

namespace lunex {
namespace {

// The intermediate files are about 2 MiB; a file many times that is not one.
constexpr qint64 ShorelineFileLimit = 64 * 1024 * 1024;
// The reply for the intermediate coastlines of the largest region that reads
// them is about 3 MiB; a reader that writes many times that is stopped.
constexpr qint64 ReplyLimit = 128 * 1024 * 1024;

// The detail for the region's size: intermediate (about 1 km) for a
// country's region, low (about 5 km) for a continent's, crude for the world.
char ResolutionFor(const MapRegion &region) {
    const double span = std::max(region.east - region.west, region.north - region.south);
    return span <= 45 ? 'i' : span <= 120 ? 'l' : 'c';
}

enum class Outcome { Read, NotStarted, Damaged, Failed, TimedOut, Nonsense };

struct ReaderRun {
    Outcome outcome = Outcome::Read;
    std::vector<ShoreLine> lines;
};

// Every digit, so that the reader takes the same bins the region touches.
QString Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The reader's reply, gathered as it comes until it ends, grows too large or
// runs out of time.
ReaderRun RunReader(const ShorelineReader &reader, const char *kind, const MapRegion &region,
                    const QByteArray &bytes) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(reader.program, {QString::fromLatin1(kind), Number(region.south),
                                   Number(region.west), Number(region.north), Number(region.east)});
    const QDeadlineTimer deadline(reader.timeLimitMs);
    if (!process.waitForStarted(int(deadline.remainingTime()))) {
        return {Outcome::NotStarted, {}};
    }
    process.write(bytes);
    process.closeWriteChannel();
    QByteArray reply;
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired() &&
           reply.size() <= ReplyLimit) {
        if (!process.waitForReadyRead(int(deadline.remainingTime()))) {
            process.waitForFinished(int(deadline.remainingTime()));
        }
        reply += process.readAllStandardOutput();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {reply.size() > ReplyLimit ? Outcome::Nonsense : Outcome::TimedOut, {}};
    }
    reply += process.readAllStandardOutput();
    // A library's fault that ends the reader with a signal, or with a
    // failure's status when a sanitizer catches it first.
    const bool crashed = process.exitStatus() == QProcess::CrashExit;
    if (crashed || process.exitCode() != 0) {
        return {!crashed && process.exitCode() == DamagedShorelineFile ? Outcome::Damaged
                                                                       : Outcome::Failed,
                {}};
    }
    std::optional<std::vector<ShoreLine>> lines = ReadShoreLinesText(reply);
    return lines ? ReaderRun{Outcome::Read, std::move(*lines)} : ReaderRun{Outcome::Nonsense, {}};
}

QString OutcomeText(Outcome outcome, const ShorelineReader &reader) {
    const QString damaged = QStringLiteral("sérült, vagy nem GSHHG-fájl");
    switch (outcome) {
    case Outcome::Read:
    case Outcome::NotStarted:
        break;
    case Outcome::Damaged:
        return damaged + u'.';
    case Outcome::Failed:
        return damaged + QStringLiteral(": az olvasó program hibával leállt rajta.");
    case Outcome::TimedOut:
        return damaged + QStringLiteral(": az olvasó program %1 másodperc alatt sem végzett vele.")
                             .arg(QLocale().toString(reader.timeLimitMs / 1000.0, 'g', 3));
    case Outcome::Nonsense:
        return QStringLiteral("az olvasó program ('%1') értelmetlen választ adott.")
            .arg(reader.program);
    }
    return {};
}

// One file into the lines: an empty text when read, else why not.
QString ReadInto(const QString &path, const char *kind, const MapRegion &region,
                 const ShorelineReader &reader, std::vector<ShoreLine> &lines) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        return ShorelinesMissingText(
            path, QStringLiteral("nincs meg (a Debian gmt-gshhg-low csomagja adja)."));
    }
    const ReadResult read = ReadLeadingBytes(path, ShorelineFileLimit);
    if (!read.bytes || read.cut) {
        return ShorelinesMissingText(path, read.cut ? QStringLiteral("túl nagy.")
                                                    : ProblemText(read.problem == FileProblem::None
                                                                      ? FileProblem::Other
                                                                      : read.problem));
    }
    ReaderRun run = RunReader(reader, kind, region, *read.bytes);
    if (run.outcome == Outcome::NotStarted) {
        return ShorelineReaderMissingText(reader.program);
    }
    if (run.outcome != Outcome::Read) {
        return ShorelinesMissingText(path, OutcomeText(run.outcome, reader));
    }
    lines.insert(lines.end(), std::make_move_iterator(run.lines.begin()),
                 std::make_move_iterator(run.lines.end()));
    return {};
}

} // namespace

ShorelineReader InstalledShorelineReader() {
    const QDir own(QCoreApplication::applicationDirPath());
    QStringList candidates;
    for (const char *folder :
         {LUNEX_LIBEXECDIR_FROM_BINDIR, LUNEX_BUILD_LIBEXECDIR, "../" LUNEX_BUILD_LIBEXECDIR}) {
        candidates.append(QDir::cleanPath(
            own.filePath(QLatin1String(folder) + QStringLiteral("/lunex-shorelines"))));
    }
    const auto found = std::find_if(candidates.cbegin(), candidates.cend(),
                                    [](const QString &path) { return QFileInfo::exists(path); });
    return {found != candidates.cend() ? *found : candidates.first()};
}

QString ShorelineFolder() {
    return QStringLiteral(LUNEX_GSHHG_FOLDER);
}

Shorelines ReadShorelines(const QString &folder, const MapRegion &region,
                          const ShorelineReader &reader) {
    const QString resolution(QChar::fromLatin1(ResolutionFor(region)));
    Shorelines shores;
    shores.problem = ReadInto(folder + QStringLiteral("/binned_GSHHS_%1.nc").arg(resolution),
                              CoastsArgument, region, reader, shores.lines);
    if (shores.problem.isEmpty()) {
        shores.problem = ReadInto(folder + QStringLiteral("/binned_border_%1.nc").arg(resolution),
                                  BordersArgument, region, reader, shores.lines);
    }
    if (!shores.problem.isEmpty()) {
        shores.lines.clear();
    }
    return shores;
}

} // namespace lunex
