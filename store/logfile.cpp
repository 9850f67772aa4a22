#include "store/logfile.h"

#include "messages/logtexts.h"
#include "store/fileio.h"
#include "store/paths.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace lunex {
namespace {

const char Header[] =
    "idopont,idozona,hely,szelesseg,hosszusag,magassag_m,eredmeny,eszkoz,eszkoz_leiras,egbolt,"
    "atlatszosag,megfigyelo,megjegyzes,irany,ujhold,kor_perc,keses_perc,hold_magassag,"
    "hold_azimut,arcl,w,q,yallop,odeh_v,odeh";

enum Column {
    Moment,
    Zone,
    PlaceName,
    Latitude,
    Longitude,
    Elevation,
    Result,
    Aid,
    AidText,
    Sky,
    Transparency,
    Observer,
    Notes,
    FirstPredicted, // the prediction from here on
    DirectionColumn = FirstPredicted,
    NewMoon,
    Age,
    Lag,
    MoonAltitude,
    MoonAzimuth,
    Arcl,
    Width,
    Q,
    Yallop,
    OdehV,
    Odeh,
    ColumnCount
};

constexpr QByteArrayView Bom = "\xEF\xBB\xBF";

// Every digit a double needs to read back the same.
QString Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Quoted(QString cell) {
    if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') ||
        cell.contains(u'\r')) {
        cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return cell;
}

QStringList EntryCells(const LogEntry &e) {
    const SightingPrediction &p = e.prediction;
    QStringList cells(ColumnCount);
    cells[Moment] = e.moment.toString(Qt::ISODate);
    cells[Zone] = e.moment.timeSpec() == Qt::TimeZone
                      ? QString::fromLatin1(e.moment.timeZone().id())
                      : QString();
    cells[PlaceName] = e.placeName;
    cells[Latitude] = Number(e.place.latitude);
    cells[Longitude] = Number(e.place.longitude);
    cells[Elevation] = Number(e.place.elevation);
    cells[Result] = ResultCodes[int(e.result)].toString();
    cells[Aid] = AidCodes[int(e.aid)].toString();
    cells[AidText] = e.aidText;
    cells[Sky] = SkyCodes[int(e.sky)].toString();
    cells[Transparency] = e.transparency ? QString::number(*e.transparency) : QString();
    cells[Observer] = e.observer;
    cells[Notes] = e.notes;
    cells[DirectionColumn] = DirectionCodes[p.direction == Direction::Evening ? 0 : 1].toString();
    cells[NewMoon] = p.newMoon.toUTC().toString(Qt::ISODateWithMs);
    cells[Age] = QString::number(p.ageMinutes);
    cells[Lag] = p.lagMinutes ? Number(*p.lagMinutes) : QString();
    cells[MoonAltitude] = Number(p.moon.altitude);
    cells[MoonAzimuth] = Number(p.moon.azimuth);
    cells[Arcl] = Number(p.arcl);
    cells[Width] = Number(p.widthYallop);
    cells[Q] = Number(p.q);
    cells[Yallop] = ClassLetter(p.yallop);
    cells[OdehV] = Number(p.v);
    cells[Odeh] = ClassLetter(p.odeh);
    return cells;
}

// One record from `pos`, RFC 4180: quoted cells may hold separators, quotes
// and line breaks. Empty when a quote is left open or the bytes are not
// UTF-8; `end` is then unset.
std::optional<QStringList> ReadRecord(const QByteArray &bytes, qsizetype pos, qsizetype &end) {
    QList<QByteArray> cells{QByteArray()};
    bool quoted = false;
    qsizetype i = pos;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                    cells.last() += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cells.last() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.append(QByteArray());
        } else if (c == '\n') {
            break;
        } else if (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] == '\n')) {
            continue;
        } else {
            cells.last() += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    end = i + 1;
    QStringList texts;
    for (const QByteArray &cell : cells) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        texts << utf8(cell);
        if (utf8.hasError()) {
            return std::nullopt;
        }
    }
    return texts;
}

std::optional<double> ReadNumber(const QString &cell) {
    bool ok = false;
    const double value = cell.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

template <std::size_t N>
std::optional<int> ReadCode(const std::array<QStringView, N> &codes, const QString &cell) {
    for (std::size_t i = 0; i < N; ++i) {
        if (codes[i] == cell) {
            return int(i);
        }
    }
    return std::nullopt;
}

template <typename Class> std::optional<Class> ReadClass(const QString &cell, int count) {
    if (cell.size() == 1 && cell[0] >= u'A' && cell[0].unicode() < u'A' + count) {
        return Class(cell[0].unicode() - u'A');
    }
    return std::nullopt;
}

bool ReadPrediction(const QStringList &cells, SightingPrediction &p) {
    const auto direction = ReadCode(DirectionCodes, cells[DirectionColumn]);
    p.newMoon = QDateTime::fromString(cells[NewMoon], Qt::ISODateWithMs);
    bool ageOk = false;
    p.ageMinutes = cells[Age].toInt(&ageOk);
    const auto altitude = ReadNumber(cells[MoonAltitude]);
    const auto azimuth = ReadNumber(cells[MoonAzimuth]);
    const auto arcl = ReadNumber(cells[Arcl]);
    const auto width = ReadNumber(cells[Width]);
    const auto q = ReadNumber(cells[Q]);
    const auto yallop = ReadClass<YallopClass>(cells[Yallop], 6);
    const auto v = ReadNumber(cells[OdehV]);
    const auto odeh = ReadClass<OdehZone>(cells[Odeh], 4);
    p.lagMinutes = ReadNumber(cells[Lag]);
    if (!direction || !p.newMoon.isValid() || !ageOk || !altitude || !azimuth || !arcl || !width ||
        !q || !yallop || !v || !odeh || (!cells[Lag].isEmpty() && !p.lagMinutes)) {
        return false;
    }
    p.direction = *direction == 0 ? Direction::Evening : Direction::Morning;
    p.newMoon = p.newMoon.toUTC();
    p.moon = {*altitude, *azimuth};
    p.arcl = *arcl;
    p.widthYallop = *width;
    p.q = *q;
    p.yallop = *yallop;
    p.v = *v;
    p.odeh = *odeh;
    return true;
}

std::optional<LogEntry> ReadEntry(const QStringList &cells) {
    if (cells.size() != ColumnCount) {
        return std::nullopt;
    }
    LogEntry e;
    e.moment = QDateTime::fromString(cells[Moment], Qt::ISODate);
    if (!e.moment.isValid() || e.moment.timeSpec() == Qt::LocalTime) {
        return std::nullopt; // an instant needs its offset
    }
    if (!cells[Zone].isEmpty()) {
        const QTimeZone zone(cells[Zone].toLatin1());
        if (!zone.isValid()) {
            return std::nullopt;
        }
        e.moment = e.moment.toTimeZone(zone);
    }
    const auto latitude = ReadNumber(cells[Latitude]);
    const auto longitude = ReadNumber(cells[Longitude]);
    const auto elevation = ReadNumber(cells[Elevation]);
    const auto result = ReadCode(ResultCodes, cells[Result]);
    const auto aid = ReadCode(AidCodes, cells[Aid]);
    const auto sky = ReadCode(SkyCodes, cells[Sky]);
    if (!latitude || std::abs(*latitude) > 90 || !longitude || std::abs(*longitude) > 180 ||
        !elevation || !result || !aid || !sky) {
        return std::nullopt;
    }
    if (!cells[Transparency].isEmpty()) {
        bool ok = false;
        const int transparency = cells[Transparency].toInt(&ok);
        if (!ok || transparency < TransparencyBest || transparency > TransparencyWorst) {
            return std::nullopt;
        }
        e.transparency = transparency;
    }
    e.placeName = cells[PlaceName];
    e.place = {*latitude, *longitude, *elevation};
    e.result = SightingResult(*result);
    e.aid = OpticalAid(*aid);
    e.aidText = cells[AidText];
    e.sky = SkyCondition(*sky);
    e.observer = cells[Observer];
    e.notes = cells[Notes];
    // Rows written by hand without the prediction get it; a prediction that
    // is there but unreadable makes the row unreadable.
    const bool predicted = std::any_of(cells.begin() + qsizetype(FirstPredicted), cells.end(),
                                       [](const QString &cell) { return !cell.isEmpty(); });
    if (!predicted) {
        return Predicted(e);
    }
    if (!ReadPrediction(cells, e.prediction)) {
        return std::nullopt;
    }
    return e;
}

} // namespace

bool SeenByEye(SightingResult result) {
    return result == SightingResult::NakedEye || result == SightingResult::AidThenNakedEye;
}

bool SeenAtAll(SightingResult result) {
    return result != SightingResult::NotSeen;
}

LogEntry Predicted(LogEntry entry) {
    entry.prediction = PredictSighting(entry.place, entry.moment);
    return entry;
}

QByteArray LogFileBytes(const QList<LogRow> &rows) {
    QByteArray out(Bom.data(), Bom.size());
    out += Header;
    out += "\r\n";
    for (const LogRow &row : rows) {
        if (row.entry) {
            QStringList cells = EntryCells(*row.entry);
            for (QString &cell : cells) {
                cell = Quoted(cell);
            }
            out += cells.join(u',').toUtf8();
        } else {
            out += row.unreadText;
        }
        out += "\r\n";
    }
    return out;
}

QList<LogRow> ParseLogFile(const QByteArray &bytes, QList<int> *unreadLines) {
    QList<LogRow> rows;
    qsizetype pos = bytes.startsWith(Bom) ? Bom.size() : 0;
    int line = 1;
    const auto lineEnd = [&](qsizetype from) {
        const qsizetype newline = bytes.indexOf('\n', from);
        return newline < 0 ? bytes.size() : newline;
    };
    // The header, when the first line is one (of this or of another version).
    if (bytes.mid(pos, lineEnd(pos) - pos).startsWith("idopont,")) {
        pos = lineEnd(pos) + 1;
        ++line;
    }
    while (pos < bytes.size()) {
        const qsizetype end = lineEnd(pos);
        QByteArray text = bytes.mid(pos, end - pos);
        if (text.endsWith('\r')) {
            text.chop(1);
        }
        if (text.trimmed().isEmpty()) {
            pos = end + 1;
            ++line;
            continue;
        }
        qsizetype recordEnd = 0;
        if (const auto cells = ReadRecord(bytes, pos, recordEnd)) {
            if (auto entry = ReadEntry(*cells)) {
                rows.append({std::move(entry), {}});
                line += int(bytes.mid(pos, recordEnd - pos).count('\n'));
                pos = recordEnd;
                continue;
            }
        }
        // Only the line itself: a quote left open must not swallow the rows after it.
        rows.append({std::nullopt, text});
        if (unreadLines) {
            unreadLines->append(line);
        }
        pos = end + 1;
        ++line;
    }
    return rows;
}

LogReading LoadObservationLog(const QString &dataDir) {
    LogReading reading;
    if (dataDir.isEmpty()) {
        return reading;
    }
    const QString path = AppPath(dataDir, ObservationLogFile);
    if (!QFileInfo::exists(path)) {
        return reading; // no log yet: an empty one
    }
    const ReadResult read = ReadLeadingBytes(path, LogFileLimit);
    if (!read.bytes) {
        reading.unreadable = true;
        reading.message = ReadFailureMessage(FileNameOf(ObservationLogFile), read.problem);
        return reading;
    }
    if (read.cut) {
        reading.unreadable = true;
        reading.message = LogTooLargeMessage(LogFileLimit / (1024 * 1024));
        return reading;
    }
    QList<int> unread;
    reading.rows = ParseLogFile(*read.bytes, &unread);
    if (!unread.isEmpty()) {
        reading.message = LogRowsUnreadMessage(unread);
    }
    return reading;
}

FileProblem SaveObservationLog(const QString &dataDir, const QList<LogRow> &rows) {
    if (dataDir.isEmpty()) {
        return FileProblem::NoHome;
    }
    return WriteDataFile(AppPath(dataDir, ObservationLogFile), LogFileBytes(rows));
}

QList<LogRow> MergeLogChanges(const QList<LogRow> &read, const QList<LogRow> &changed,
                              const QList<LogRow> &onDisk) {
    // A row as the file has it: what was read back from it is rounded as the
    // file rounds, what was computed since is not.
    const auto lines = [](const QList<LogRow> &rows) {
        QList<QByteArray> keys;
        for (const LogRow &row : rows) {
            keys.append(LogFileBytes({row}));
        }
        return keys;
    };
    const QList<QByteArray> readLines = lines(read), changedLines = lines(changed),
                            diskLines = lines(onDisk);
    if (diskLines == readLines) {
        return changed;
    }
    // As multisets: two identical rows are two rows.
    QList<QByteArray> removed = readLines;
    for (const QByteArray &line : changedLines) {
        removed.removeOne(line);
    }
    QList<QByteArray> added = changedLines;
    for (const QByteArray &line : readLines) {
        added.removeOne(line);
    }
    QList<LogRow> merged;
    for (qsizetype i = 0; i < onDisk.size(); ++i) {
        if (!removed.removeOne(diskLines[i])) {
            merged.append(onDisk[i]);
        }
    }
    for (qsizetype i = 0; i < changed.size(); ++i) {
        const QByteArray &line = changedLines[i];
        if (added.contains(line) && diskLines.count(line) <= readLines.count(line)) {
            added.removeOne(line);
            merged.append(changed[i]);
        }
    }
    return merged;
}

} // namespace lunex
