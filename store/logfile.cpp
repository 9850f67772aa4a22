#include "store/logfile.h"

#include "clock/civiltime.h"
#include "lunar/places.h"
#include "messages/logtexts.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/placefile.h"
#include "texts/csvcell.h"

#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <charconv>
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
constexpr int YallopClassCount = 6;
constexpr int OdehZoneCount = 4;
static_assert(LogEntryFaultReasons.size() == LogEntryFaultCount - 1);

// Every digit a double needs to read back the same. std::to_chars, not
// QString::number: Qt's formatting of the dozen numbers of a row, each into
// a string of its own, took a quarter of a save of a large log.
void AppendNumber(QByteArray &out, double value) {
    std::array<char, 32> digits;
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), written.ptr - digits.data());
}

void AppendPadded(QByteArray &out, int value, int width) {
    std::array<char, 12> digits;
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    for (ptrdiff_t length = written.ptr - digits.data(); length < width; ++length) {
        out += '0';
    }
    out.append(digits.data(), written.ptr - digits.data());
}

// An instant as Qt::ISODate writes it, on its own clock with its offset
// ("2027-03-09T18:20:00+01:00", "…Z" for UTC), with the milliseconds if
// asked. By hand: QDateTime::toString asks the zone for the date, the time
// and the offset apart and formats the offset with vasprintf, which was a
// fifth of a save of a large log. Outside the years 0 to 9999, nothing, as Qt.
void AppendIsoTime(QByteArray &out, const QDateTime &instant, bool milliseconds) {
    const bool utc = instant.timeSpec() == Qt::UTC;
    const int offset = utc ? 0 : instant.offsetFromUtc();
    const QDateTime clock =
        QDateTime::fromMSecsSinceEpoch(instant.toMSecsSinceEpoch() + offset * 1000LL, Qt::UTC);
    const QDate date = clock.date();
    const QTime time = clock.time();
    if (!instant.isValid() || date.year() < 0 || date.year() > 9999) {
        return;
    }
    AppendPadded(out, date.year(), 4);
    for (const auto &[separator, value] :
         {std::pair('-', date.month()), std::pair('-', date.day()), std::pair('T', time.hour()),
          std::pair(':', time.minute()), std::pair(':', time.second())}) {
        out += separator;
        AppendPadded(out, value, 2);
    }
    if (milliseconds) {
        out += '.';
        AppendPadded(out, time.msec(), 3);
    }
    if (utc) {
        out += 'Z';
        return;
    }
    out += offset < 0 ? '-' : '+';
    AppendPadded(out, std::abs(offset) / 3600, 2);
    out += ':';
    AppendPadded(out, std::abs(offset) % 3600 / 60, 2);
}

// The zone's name when the database has it. A zone Lunex made of a POSIX rule
// (TZ="EST5EDT,M3.2.0,M11.1.0") has an id that means nothing to another run,
// and the reader takes only the database's names: its moment keeps its offset.
QByteArray ZoneCell(const QDateTime &moment) {
    if (moment.timeSpec() != Qt::TimeZone) {
        return {};
    }
    const QByteArray id = moment.timeZone().id();
    return IsZoneName(id) ? id : QByteArray();
}

// One row of the file, without its line end. Free text is guarded against
// spreadsheet formulas and quoted; Lunex's own cells need neither.
QByteArray EntryLine(const LogEntry &e) {
    const SightingPrediction &p = e.prediction;
    QByteArray out;
    out.reserve(320);
    const auto text = [&out](const QString &cell) {
        out += CsvTextCell(cell, u',').toUtf8();
        out += ',';
    };
    const auto number = [&out](double value) {
        AppendNumber(out, value);
        out += ',';
    };
    const auto code = [&out](QStringView word) {
        out += word.toLatin1();
        out += ',';
    };
    // An offset with seconds (the local mean time before standard time:
    // Budapest's +01:16:20 until 1890) has no ISO form that reads back, and
    // the moment would move by those seconds at each save: such a moment is
    // written in UTC, its zone's cell keeping its clock.
    AppendIsoTime(out, e.moment.offsetFromUtc() % 60 == 0 ? e.moment : e.moment.toUTC(), false);
    out += ',';
    out += ZoneCell(e.moment);
    out += ',';
    text(e.placeName);
    for (const double value : {e.place.latitude, e.place.longitude, e.place.elevation}) {
        number(value);
    }
    code(ResultCodes[int(e.result)]);
    code(AidCodes[int(e.aid)]);
    text(e.aidText);
    code(SkyCodes[int(e.sky)]);
    if (e.transparency) {
        AppendPadded(out, *e.transparency, 1);
    }
    out += ',';
    text(e.observer);
    text(e.notes);
    code(DirectionCodes[p.direction == Direction::Evening ? 0 : 1]);
    AppendIsoTime(out, p.newMoon.toUTC(), true);
    out += ',';
    AppendPadded(out, p.ageMinutes, 1);
    out += ',';
    if (p.lagMinutes) {
        AppendNumber(out, *p.lagMinutes);
    }
    out += ',';
    for (const double value : {p.moon.altitude, p.moon.azimuth, p.arcl, p.widthYallop, p.q}) {
        number(value);
    }
    out += ClassLetter(p.yallop).toLatin1();
    out += ',';
    AppendNumber(out, p.v);
    out += ',';
    out += ClassLetter(p.odeh).toLatin1();
    return out;
}

QByteArray RowLine(const LogRow &row) {
    return row.entry ? EntryLine(*row.entry) : row.unreadText;
}

// Where the record from `pos` ends (its '\n', or the end of the bytes), when
// its quotes are closed and it has at most `maxCells` cells. A record of more
// is refused at the first cell too many: a line of commas is no reason to
// make a cell of each. Whether a place is inside quotes is the parity of the
// quotes before it, a doubled quote included.
std::optional<qsizetype> RecordEnd(const QByteArray &bytes, qsizetype pos, int maxCells) {
    const char *data = bytes.constData();
    bool quoted = false;
    int cells = 1;
    for (qsizetype i = pos; i < bytes.size(); ++i) {
        const char c = data[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            if (++cells > maxCells) {
                return std::nullopt;
            }
        } else if (!quoted && c == '\n') {
            return i;
        }
    }
    return quoted ? std::nullopt : std::optional(bytes.size());
}

// The cells of a record, RFC 4180: quoted cells may hold separators, quotes
// and line breaks; the CR of the record's CR LF is no part of it.
QStringList SplitRecord(QStringView record) {
    QStringList cells;
    QString cell;
    bool quoted = false;
    qsizetype run = 0; // where the characters not yet added to the cell begin
    const auto take = [&](qsizetype upTo) { cell += record.sliced(run, upTo - run); };
    for (qsizetype i = 0; i < record.size(); ++i) {
        const QChar c = record[i];
        if (c == u'"') {
            take(i);
            const bool doubled = quoted && i + 1 < record.size() && record[i + 1] == u'"';
            if (doubled) {
                cell += c;
                ++i;
            } else {
                quoted = !quoted;
            }
            run = i + 1;
        } else if (!quoted && c == u',') {
            take(i);
            cells.append(std::exchange(cell, QString()));
            run = i + 1;
        } else if (!quoted && c == u'\r' && i + 1 == record.size()) {
            take(i);
            run = i + 1;
        }
    }
    take(record.size());
    cells.append(cell);
    return cells;
}

// A number as QString::toDouble reads it (blanks around it, a sign, a
// decimal point, an exponent), finite. std::from_chars on the cell's ASCII:
// QString::toDouble goes through the locale's machinery and took a third of
// the reading of a large log.
std::optional<double> ReadNumber(const QString &cell) {
    QStringView text = QStringView(cell).trimmed();
    if (text.startsWith(u'+')) {
        text = text.sliced(1); // from_chars takes a minus sign only
        if (text.startsWith(u'-')) {
            return std::nullopt;
        }
    }
    std::array<char, 64> ascii;
    if (text.isEmpty() || text.size() >= qsizetype(ascii.size())) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() > 0x7F) {
            return std::nullopt;
        }
        ascii[size_t(i)] = char(text[i].unicode());
    }
    double value = 0;
    const char *end = ascii.data() + text.size();
    const auto read = std::from_chars(ascii.data(), end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
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
    const auto yallop = ReadClass<YallopClass>(cells[Yallop], YallopClassCount);
    const auto v = ReadNumber(cells[OdehV]);
    const auto odeh = ReadClass<OdehZone>(cells[Odeh], OdehZoneCount);
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

bool PredictionIsSound(const SightingPrediction &p) {
    const auto finite = [](double value) { return std::isfinite(value); };
    return p.newMoon.isValid() && finite(p.moon.altitude) && finite(p.moon.azimuth) &&
           finite(p.arcl) && finite(p.widthYallop) && finite(p.q) && finite(p.v) &&
           (!p.lagMinutes || finite(*p.lagMinutes)) && int(p.yallop) >= 0 &&
           int(p.yallop) < YallopClassCount && int(p.odeh) >= 0 && int(p.odeh) < OdehZoneCount;
}

bool InServedYears(const QDateTime &moment) {
    const int year = moment.date().year();
    return year >= LogFirstYear && year <= LogLastYear;
}

// What the reader itself refuses of an entry, its cells once read.
LogEntryFault ReaderFault(const LogEntry &e, bool predicted) {
    if (!e.moment.isValid() || e.moment.timeSpec() == Qt::LocalTime) {
        return LogEntryFault::Moment; // an instant needs its offset
    }
    if (!std::isfinite(e.place.latitude) || std::abs(e.place.latitude) > 90) {
        return LogEntryFault::Latitude;
    }
    if (!std::isfinite(e.place.longitude) || std::abs(e.place.longitude) > 180) {
        return LogEntryFault::Longitude;
    }
    // As a place of hely.txt: a height on the Earth, where the prediction
    // means something.
    if (!(e.place.elevation >= LowestElevation && e.place.elevation <= HighestElevation)) {
        return LogEntryFault::Elevation;
    }
    if (e.transparency &&
        (*e.transparency < TransparencyBest || *e.transparency > TransparencyWorst)) {
        return LogEntryFault::Transparency;
    }
    return !predicted || PredictionIsSound(e.prediction) ? LogEntryFault::None
                                                         : LogEntryFault::Prediction;
}

// The rows of one file: the zones by name, each looked up once, and the
// texts that repeat from row to row (places, observers), each held once.
class RowReader {
public:
    std::optional<LogEntry> entry(const QStringList &cells);

private:
    std::optional<QTimeZone> zone(const QString &name);
    QString shared(const QString &text);
    bool readPlace(const QStringList &cells, LogEntry &e);

    QHash<QString, std::optional<QTimeZone>> zones_;
    QSet<QString> texts_;
};

// Only a name of the database's list reaches Qt: it loops for ever on some
// POSIX rules out of range, and opens whatever file a path names (a FIFO
// blocks it), as hely.txt's zone is read.
std::optional<QTimeZone> RowReader::zone(const QString &name) {
    if (const auto found = zones_.constFind(name); found != zones_.cend()) {
        return *found;
    }
    return *zones_.insert(name, NamedZone(name));
}

QString RowReader::shared(const QString &text) {
    if (text.size() > PlaceNameLimit) {
        return text; // a note is seldom written twice
    }
    return *texts_.insert(text);
}

bool RowReader::readPlace(const QStringList &cells, LogEntry &e) {
    const auto latitude = ReadNumber(cells[Latitude]);
    const auto longitude = ReadNumber(cells[Longitude]);
    const auto elevation = ReadNumber(cells[Elevation]);
    if (!latitude || !longitude || !elevation) {
        return false;
    }
    e.placeName = shared(FormulaUnguarded(cells[PlaceName]));
    e.place = {*latitude, *longitude, *elevation};
    return true;
}

// A row of the form's cells, or of those before the prediction (typed in a
// spreadsheet); rows without the prediction, or with its cells empty, get it.
std::optional<LogEntry> RowReader::entry(const QStringList &cells) {
    if (cells.size() != ColumnCount && cells.size() != FirstPredicted) {
        return std::nullopt;
    }
    LogEntry e;
    e.moment = QDateTime::fromString(cells[Moment], Qt::ISODate);
    if (!e.moment.isValid() || e.moment.timeSpec() == Qt::LocalTime) {
        return std::nullopt; // an instant needs its offset, whatever its zone
    }
    if (!cells[Zone].isEmpty()) {
        const std::optional<QTimeZone> named = zone(cells[Zone]);
        if (!named) {
            return std::nullopt;
        }
        e.moment = e.moment.toTimeZone(*named);
    }
    const auto result = ReadCode(ResultCodes, cells[Result]);
    const auto aid = ReadCode(AidCodes, cells[Aid]);
    const auto sky = ReadCode(SkyCodes, cells[Sky]);
    bool transparencyOk = true;
    if (!cells[Transparency].isEmpty()) {
        e.transparency = cells[Transparency].toInt(&transparencyOk);
    }
    if (!readPlace(cells, e) || !result || !aid || !sky || !transparencyOk) {
        return std::nullopt;
    }
    e.result = SightingResult(*result);
    e.aid = OpticalAid(*aid);
    e.aidText = shared(FormulaUnguarded(cells[AidText]));
    e.sky = SkyCondition(*sky);
    e.observer = shared(FormulaUnguarded(cells[Observer]));
    e.notes = FormulaUnguarded(cells[Notes]);
    const bool predicted =
        std::any_of(cells.begin() + std::min<qsizetype>(FirstPredicted, cells.size()), cells.end(),
                    [](const QString &cell) { return !cell.isEmpty(); });
    if (predicted && !ReadPrediction(cells, e.prediction)) {
        return std::nullopt; // a prediction that is there must be readable
    }
    if (ReaderFault(e, predicted) != LogEntryFault::None ||
        (!predicted && !InServedYears(e.moment))) {
        return std::nullopt;
    }
    return predicted ? e : Predicted(e);
}

// The record from `pos` as an entry, and where it ends; nothing when its
// quotes are left open, it holds too many cells or bytes that are not UTF-8,
// or its cells are no entry.
std::optional<LogEntry> ReadRecordEntry(RowReader &reader, const QByteArray &bytes, qsizetype pos,
                                        qsizetype &recordEnd) {
    const std::optional<qsizetype> end = RecordEnd(bytes, pos, ColumnCount);
    if (!end) {
        return std::nullopt;
    }
    // Every character as typed: a byte-order mark inside a cell too.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString record = utf8(QByteArrayView(bytes).sliced(pos, *end - pos));
    if (utf8.hasError()) {
        return std::nullopt;
    }
    recordEnd = *end + 1;
    return reader.entry(SplitRecord(record));
}

// 128 bits of two seeded hashes: enough to tell another copy's save from
// none, and several times as fast as a cryptographic hash of a large log.
QByteArray Digest(const QByteArray &bytes) {
    const std::array<size_t, 2> halves{qHash(QByteArrayView(bytes), 0x9e3779b97f4a7c15U),
                                       qHash(QByteArrayView(bytes), 0x243f6a8885a308d3U)};
    return QByteArray(reinterpret_cast<const char *>(halves.data()), sizeof(halves));
}

// The log's file as it is: its rows, unless its bytes are those of
// `knownDigest` (then `same` is set and the rows are not read again).
struct FileState {
    LogReading reading;
    bool same = false;
};

FileState ReadLogFile(const QString &path, const QByteArray &knownDigest) {
    FileState state;
    LogReading &reading = state.reading;
    if (!QFileInfo::exists(path)) {
        state.same = knownDigest.isEmpty();
        return state; // no log yet: an empty one
    }
    const ReadResult read = ReadLeadingBytes(path, LogFileLimit);
    if (!read.bytes || read.cut) {
        reading.unreadable = true;
        reading.message = read.cut
                              ? LogTooLargeMessage(LogFileLimit / (1024 * 1024))
                              : ReadFailureMessage(FileNameOf(ObservationLogFile), read.problem);
        return state;
    }
    reading.digest = Digest(*read.bytes);
    if (reading.digest == knownDigest) {
        state.same = true;
        return state;
    }
    QList<int> unread;
    reading.rows = ParseLogFile(*read.bytes, &unread);
    if (!unread.isEmpty()) {
        reading.message = LogRowsUnreadMessage(unread);
    }
    return state;
}

// A row as the file writes it, in 128 bits: two rows are the same row when
// their keys are, and a large log's three sets of rows that a merge compares
// take no more memory than the keys.
struct RowKey {
    size_t first = 0, second = 0;
    bool operator==(const RowKey &) const = default;
};
size_t qHash(const RowKey &key, size_t seed = 0) {
    return key.first ^ seed;
}

RowKey KeyOf(const LogRow &row) {
    const QByteArray line = RowLine(row);
    return {qHash(QByteArrayView(line), 0x9e3779b97f4a7c15U),
            qHash(QByteArrayView(line), 0x243f6a8885a308d3U)};
}

// As a multiset: two identical rows are two rows.
QHash<RowKey, int> Counted(const QList<RowKey> &keys) {
    QHash<RowKey, int> counts;
    counts.reserve(keys.size());
    for (const RowKey &key : keys) {
        ++counts[key];
    }
    return counts;
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

LogEntryFault CheckLogEntry(const LogEntry &entry) {
    // The years first: outside them the prediction is not one to judge.
    const LogEntryFault fault = ReaderFault(entry, true);
    if (fault == LogEntryFault::Moment) {
        return fault;
    }
    if (!InServedYears(entry.moment)) {
        return LogEntryFault::Year;
    }
    if (fault != LogEntryFault::None) {
        return fault;
    }
    const bool tooLong =
        entry.notes.size() > LogNoteLimit || entry.observer.size() > LogTextLimit ||
        entry.aidText.size() > LogTextLimit || entry.placeName.size() > PlaceNameLimit;
    return tooLong ? LogEntryFault::LongText : LogEntryFault::None;
}

QByteArray LogFileBytes(const QList<LogRow> &rows) {
    QByteArray out(Bom.data(), Bom.size());
    out += Header;
    out += "\r\n";
    // About what a row of Lunex's takes, so that the text grows seldom.
    out.reserve(out.size() + rows.size() * 280);
    for (const LogRow &row : rows) {
        out += RowLine(row);
        out += "\r\n";
    }
    return out;
}

QList<LogRow> ParseLogFile(const QByteArray &bytes, QList<int> *unreadLines) {
    QList<LogRow> rows;
    RowReader reader;
    qsizetype pos = bytes.startsWith(Bom) ? Bom.size() : 0;
    int line = 1;
    const auto lineEnd = [&](qsizetype from) {
        const qsizetype newline = bytes.indexOf('\n', from);
        return newline < 0 ? bytes.size() : newline;
    };
    // The header, when the first line is one (of this or of another version).
    if (QByteArrayView(bytes).sliced(pos).startsWith("idopont,")) {
        pos = lineEnd(pos) + 1;
        ++line;
    }
    if (pos >= bytes.size()) {
        return rows; // a header alone, without its line end
    }
    rows.reserve(QByteArrayView(bytes).sliced(pos).count('\n') + 1);
    while (pos < bytes.size()) {
        const qsizetype end = lineEnd(pos);
        QByteArrayView text = QByteArrayView(bytes).sliced(pos, end - pos);
        if (text.endsWith('\r')) {
            text.chop(1);
        }
        if (text.trimmed().isEmpty()) {
            pos = end + 1;
            ++line;
            continue;
        }
        qsizetype recordEnd = 0;
        if (auto entry = ReadRecordEntry(reader, bytes, pos, recordEnd)) {
            rows.append({std::move(entry), {}});
            line += int(QByteArrayView(bytes).sliced(pos, recordEnd - 1 - pos).count('\n')) + 1;
            pos = recordEnd;
            continue;
        }
        // Only the line itself: a quote left open must not swallow the rows after it.
        rows.append({std::nullopt, text.toByteArray()});
        if (unreadLines) {
            unreadLines->append(line);
        }
        pos = end + 1;
        ++line;
    }
    return rows;
}

LogReading LoadObservationLog(const QString &dataDir) {
    if (dataDir.isEmpty()) {
        return {};
    }
    return ReadLogFile(AppPath(dataDir, ObservationLogFile), {}).reading;
}

FileProblem SaveObservationLog(const QString &dataDir, const QList<LogRow> &rows) {
    if (dataDir.isEmpty()) {
        return FileProblem::NoHome;
    }
    const QByteArray bytes = LogFileBytes(rows);
    if (bytes.size() > LogFileLimit) {
        return FileProblem::TooLarge;
    }
    return WriteDataFile(AppPath(dataDir, ObservationLogFile), bytes);
}

QList<LogRow> MergeLogChanges(const QList<LogRow> &read, const QList<LogRow> &changed,
                              const QList<LogRow> &onDisk) {
    // A row as the file has it: what was read back from it is rounded as the
    // file rounds, what was computed since is not.
    const auto keys = [](const QList<LogRow> &rows) {
        QList<RowKey> out;
        out.reserve(rows.size());
        for (const LogRow &row : rows) {
            out.append(KeyOf(row));
        }
        return out;
    };
    const QList<RowKey> readKeys = keys(read), changedKeys = keys(changed), diskKeys = keys(onDisk);
    if (diskKeys == readKeys) {
        return changed;
    }
    const QHash<RowKey, int> readCounts = Counted(readKeys), diskCounts = Counted(diskKeys);
    QHash<RowKey, int> removed = readCounts, added = Counted(changedKeys);
    for (const RowKey &key : changedKeys) {
        if (const auto it = removed.find(key); it != removed.end() && *it > 0) {
            --*it;
        }
    }
    for (const RowKey &key : readKeys) {
        if (const auto it = added.find(key); it != added.end() && *it > 0) {
            --*it;
        }
    }
    QList<LogRow> merged;
    merged.reserve(onDisk.size() + changed.size());
    for (qsizetype i = 0; i < onDisk.size(); ++i) {
        if (int &left = removed[diskKeys[i]]; left > 0) {
            --left;
        } else {
            merged.append(onDisk[i]);
        }
    }
    for (qsizetype i = 0; i < changed.size(); ++i) {
        const RowKey &key = changedKeys[i];
        if (int &left = added[key]; left > 0 && diskCounts.value(key) <= readCounts.value(key)) {
            --left;
            merged.append(changed[i]);
        }
    }
    return merged;
}

LogSaving SaveLogChanges(const QString &dataDir, const LogReading &read,
                         const QList<LogRow> &changed, int lockWaitMs) {
    LogSaving saving;
    const QString name = FileNameOf(ObservationLogFile);
    if (dataDir.isEmpty()) {
        saving.message = WriteFailureMessage(name, FileProblem::NoHome);
        return saving;
    }
    const QString path = AppPath(dataDir, ObservationLogFile);
    // A lock that cannot be made at all (a folder that takes no new file)
    // leaves the save to fail with its own reason.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs) && lock.error() == QLockFile::LockFailedError) {
        saving.message = LogBusyMessage((lockWaitMs + 999) / 1000);
        return saving;
    }
    FileState now = ReadLogFile(path, read.digest);
    if (now.reading.unreadable) {
        saving.message = LogKeptUnwrittenMessage();
        return saving;
    }
    QList<LogRow> rows = now.same ? changed : MergeLogChanges(read.rows, changed, now.reading.rows);
    const QByteArray bytes = LogFileBytes(rows);
    if (bytes.size() > LogFileLimit) {
        saving.message = LogWouldBeTooLargeMessage(LogFileLimit / (1024 * 1024));
        return saving;
    }
    if (const FileProblem problem = WriteDataFile(path, bytes); problem != FileProblem::None) {
        saving.message = WriteFailureMessage(name, problem);
        return saving;
    }
    saving.saved = true;
    saving.log.rows = std::move(rows);
    saving.log.digest = Digest(bytes);
    return saving;
}

} // namespace lunex
