#include "clock/civiltime.h"

#include "clock/posixrule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lunex {
namespace {

QDateTime UtcAt(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

// A zone's recorded changes of offset, looked up by binary search. Qt answers
// each offset from the zone rules anew, at some microseconds a question, and
// a list of new moons asks thousands of them. Qt lists the changes up to
// 2037 only; later ones follow the zone's rule, and are Qt's to answer.
class ZoneOffsets {
public:
    explicit ZoneOffsets(const QTimeZone &zone)
        : zone_(zone), id_(zone.id()),
          from_(QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch()),
          initial_(zone.offsetFromUtc(UtcAt(from_))) {
        const QDateTime end(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
        for (const QTimeZone::OffsetData &t : zone.transitions(UtcAt(from_), end)) {
            changes_.emplace_back(t.atUtc.toSecsSinceEpoch(), t.offsetFromUtc);
        }
        // The offset after the last listed change holds only until the rule's
        // next one, which Qt does not list.
        to_ = changes_.empty() ? from_ : changes_.back().first;
    }
    const QByteArray &id() const { return id_; }

    int at(qint64 secs) const {
        if (secs < from_ || secs >= to_) {
            return zone_.offsetFromUtc(UtcAt(secs));
        }
        const auto next =
            std::upper_bound(changes_.begin(), changes_.end(), secs,
                             [](qint64 s, const std::pair<qint64, int> &c) { return s < c.first; });
        return next == changes_.begin() ? initial_ : std::prev(next)->second;
    }

private:
    QTimeZone zone_;
    QByteArray id_;
    qint64 from_;
    int initial_;
    qint64 to_;
    std::vector<std::pair<qint64, int>> changes_; // from this instant on, this offset
};

const ZoneOffsets &OffsetsOf(const QTimeZone &zone) {
    // A few zones at once: tests and tools switch between them.
    thread_local std::deque<ZoneOffsets> cache;
    const QByteArray id = zone.id();
    for (const ZoneOffsets &offsets : cache) {
        if (offsets.id() == id) {
            return offsets;
        }
    }
    if (cache.size() == 8) {
        cache.pop_back();
    }
    return cache.emplace_front(zone);
}

// --- The system's zone

// Where the time-zone database lies: TZDIR, as the C library and Qt read it.
QString ZoneInfoDir() {
    const QString dir = qEnvironmentVariable("TZDIR");
    return QDir::isAbsolutePath(dir) ? QDir::cleanPath(dir) : QStringLiteral("/usr/share/zoneinfo");
}

// The field of a line of blank-parted fields, as QByteArray::split(' ')
// numbers them; empty when there are fewer.
QByteArrayView Field(QByteArrayView line, int index) {
    for (; index > 0; --index) {
        const qsizetype blank = line.indexOf(' ');
        if (blank < 0) {
            return {};
        }
        line = line.sliced(blank + 1);
    }
    const qsizetype blank = line.indexOf(' ');
    return blank < 0 ? line : line.first(blank);
}

// tzdata.zi, the source from which the database's files are made: each zone
// on a line "Z name ..." and each alias on a line "L target name". The folder
// holds other files too (tables, leap seconds, copies with leap seconds under
// right/), which name no zone.
QByteArray DatabaseSource() {
    QFile source(ZoneInfoDir() + QStringLiteral("/tzdata.zi"));
    return source.open(QIODevice::ReadOnly) ? source.read(16 * 1024 * 1024) : QByteArray();
}

// The name a line of the source gives, if it gives one.
QByteArrayView NameOfLine(QByteArrayView line) {
    line = line.trimmed();
    return line.startsWith("Z ")   ? Field(line, 1)
           : line.startsWith("L ") ? Field(line, 2)
                                   : QByteArrayView();
}

// Every name the database knows, for the list a user picks from.
const QSet<QByteArray> &DatabaseNames() {
    static const QSet<QByteArray> names = [] {
        QSet<QByteArray> found;
        const QByteArray text = DatabaseSource();
        for (qsizetype at = 0; at < text.size();) {
            qsizetype end = text.indexOf('\n', at);
            end = end < 0 ? text.size() : end;
            const QByteArrayView name = NameOfLine(QByteArrayView(text).sliced(at, end - at));
            if (!name.isEmpty()) {
                found.insert(name.toByteArray());
            }
            at = end + 1;
        }
        return found;
    }();
    return names;
}

// Whether the database knows the name: only the lines of the source that hold
// it are read (the window's start waits for the system's zone to be checked,
// and the whole list cost it more than all its own work), and the answer is
// kept for the next time the name is asked for.
bool IsDatabaseName(const QByteArray &name) {
    if (name.isEmpty()) {
        return false;
    }
    static QMutex lock;
    static QHash<QByteArray, bool> known;
    const QMutexLocker locked(&lock);
    if (const auto answer = known.constFind(name); answer != known.cend()) {
        return *answer;
    }
    const QByteArray text = DatabaseSource();
    bool found = false;
    for (qsizetype at = text.indexOf(name); at >= 0 && !found; at = text.indexOf(name, at + 1)) {
        const qsizetype start = text.lastIndexOf('\n', at) + 1;
        const qsizetype end = text.indexOf('\n', at);
        found =
            NameOfLine(QByteArrayView(text).sliced(start, (end < 0 ? text.size() : end) - start)) ==
            name;
    }
    // Kept within bounds, whatever names a file or a command line asks for.
    if (known.size() < 4096) {
        known.insert(name, found);
    }
    return found;
}

// A name, or a file's path below the database's folder; posix/ holds a copy
// of the same zones.
std::optional<QTimeZone> ZoneOfFile(const QByteArray &name) {
    return NamedZone(QString::fromUtf8(name.startsWith("posix/") ? name.mid(6) : name));
}

std::optional<QTimeZone> ZoneOfPath(const QByteArray &path) {
    const QString file = QFile::decodeName(path);
    const QString dir = ZoneInfoDir();
    // As written, so that an alias keeps its name; else with every link
    // followed (/etc/localtime).
    for (const QString &candidate : {QDir::cleanPath(file), QFileInfo(file).canonicalFilePath()}) {
        for (const QString &base : {dir, QFileInfo(dir).canonicalFilePath()}) {
            if (!base.isEmpty() && candidate.startsWith(base + u'/')) {
                if (auto zone = ZoneOfFile(QFile::encodeName(candidate.mid(base.size() + 1)))) {
                    return zone;
                }
            }
        }
    }
    return std::nullopt;
}

// The years whose changes a rule's zone lists: the C library follows a rule
// from 1970 on only, and Qt 6.4 refuses a zone file whose changes run past
// about 2560. Later years follow Qt's reading of the rule where Qt reads it.
constexpr int RuleFirstYear = 1970;
constexpr int RuleLastYear = 2400;

// The rule's zone as a time-zone file (TZif, RFC 8536) of its changes, which
// Qt follows exactly, and `later`, the rule for the years after them (none
// where Qt cannot read it: the last offset then holds).
QByteArray ZoneFileOf(const PosixRule &rule, const RuleChanges &changes, const QByteArray &later) {
    QByteArray bytes;
    const auto put32 = [&](qint64 v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.append(char((v >> shift) & 0xff));
        }
    };
    const auto put64 = [&](qint64 v) {
        put32(v >> 32);
        put32(v & 0xffffffff);
    };
    // Type 0 holds before the first change.
    const bool summerFirst = changes.summerBefore;
    const QByteArray names = (summerFirst ? rule.summerName : rule.standardName) + '\0' +
                             (summerFirst ? rule.standardName : rule.summerName) + '\0';
    const auto header = [&](qint64 count, int types, qint64 chars) {
        bytes.append("TZif2");
        bytes.append(15, '\0');
        for (const qint64 n : {qint64(0), qint64(0), qint64(0), count, qint64(types), chars}) {
            put32(n);
        }
    };
    // The first block, for readers of 32-bit times, names only the standard time.
    header(0, 1, 1);
    put32(-rule.standardWest);
    bytes.append(2, '\0');
    bytes.append('\0');
    header(changes.changes.size(), 2, names.size());
    for (const RuleChange &change : changes.changes) {
        put64(change.at);
    }
    for (const RuleChange &change : changes.changes) {
        bytes.append(char(change.summer == summerFirst ? 0 : 1));
    }
    for (const bool summer : {summerFirst, !summerFirst}) {
        put32(-(summer ? rule.summerWest : rule.standardWest));
        bytes.append(char(summer ? 1 : 0));
        bytes.append(char(summer == summerFirst ? 0 : names.indexOf('\0') + 1));
    }
    bytes.append(names);
    bytes.append('\n' + later + '\n');
    return bytes;
}

// Guards the zones made from rules and their names.
QMutex RuleZonesLock;

// What a zone made from a rule's file is called: the rule.
QHash<QByteArray, QString> &RuleNames() {
    static QHash<QByteArray, QString> names;
    return names;
}

// A zone of the rule's changes. Qt 6.4 opens a zone's file only by its name
// below the database's folder, so the file is an anonymous one in memory
// (memfd), reached through /proc; it stays open while the program runs.
std::optional<QTimeZone> ZoneOfChanges(const QByteArray &text, const PosixRule &rule,
                                       const RuleChanges &changes, const QByteArray &later) {
    const QByteArray bytes = ZoneFileOf(rule, changes, later);
    const int fd = ::memfd_create("lunex-zone", MFD_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray id = "../../../proc/self/fd/" + QByteArray::number(fd);
    const QTimeZone zone(id);
    if (!zone.isValid()) {
        ::close(fd);
        return std::nullopt;
    }
    RuleNames().insert(id, QString::fromLatin1(text));
    return zone;
}

// Whether Qt's own reading of a rule gives the C library's offsets: at each
// change up to 2100 and just before it.
bool ReadsAsTheCLibrary(const QTimeZone &zone, const PosixRule &rule, const RuleChanges &changes) {
    const auto east = [&](bool summer) { return -(summer ? rule.summerWest : rule.standardWest); };
    const qint64 until = QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    bool before = changes.summerBefore;
    for (const RuleChange &change : changes.changes) {
        if (change.at > until) {
            break;
        }
        if (zone.offsetFromUtc(UtcAt(change.at - 1)) != east(before) ||
            zone.offsetFromUtc(UtcAt(change.at)) != east(change.summer)) {
            return false;
        }
        before = change.summer;
    }
    return true;
}

std::optional<QTimeZone> ZoneOfPosixRule(const QByteArray &text) {
    // Read in full first: Qt loops for ever on some rules out of range (month
    // 13) and quietly misreads others (week 6, weekday 7).
    const std::optional<PosixRule> rule = ReadPosixRule(text);
    if (!rule) {
        return std::nullopt;
    }
    if (rule->summerName.isEmpty()) {
        // Built here: Qt reads "UTC+3" as three hours east.
        return std::abs(rule->standardWest) <= 14 * 3600
                   ? std::optional(QTimeZone(-rule->standardWest))
                   : std::nullopt;
    }
    // Summer time without its dates: the C library takes dates of its own
    // choosing.
    if (!rule->hasChanges) {
        return std::nullopt;
    }
    // One zone a rule, for every time the program asks.
    static QHash<QByteArray, QTimeZone> made;
    const QMutexLocker lock(&RuleZonesLock);
    if (const auto found = made.constFind(text); found != made.cend()) {
        return *found;
    }
    // Qt's reading where it agrees with the C library's, so that the zone
    // keeps the rule for its name; else a zone of the C library's changes
    // (Qt refuses a change at -19 h and reads some years of a rule whose
    // summer time ends before it begins otherwise).
    const RuleChanges changes = ChangesOfRule(*rule, RuleFirstYear, RuleLastYear);
    std::optional<QTimeZone> zone;
    if (const QTimeZone qt(text); !qt.isValid()) {
        zone = ZoneOfChanges(text, *rule, changes, {});
    } else if (ReadsAsTheCLibrary(qt, *rule, changes)) {
        zone = qt;
    } else {
        zone = ZoneOfChanges(text, *rule, changes, text);
    }
    if (zone) {
        made.insert(text, *zone);
    }
    return zone;
}

} // namespace

bool IsZoneName(const QByteArray &id) {
    return IsDatabaseName(id);
}

std::optional<QTimeZone> NamedZone(QStringView name) {
    const QByteArray id = name.toUtf8();
    if (!IsDatabaseName(id)) {
        return std::nullopt;
    }
    const QTimeZone zone(id);
    return zone.isValid() ? std::optional(zone) : std::nullopt;
}

QStringList ZoneNames() {
    QStringList names;
    for (const QByteArray &name : DatabaseNames()) {
        names.append(QString::fromUtf8(name));
    }
    names.sort();
    return names;
}

SystemZoneSetting ReadSystemZone() {
    const QByteArray tz = qgetenv("TZ");
    // The C library reads what follows a ':' as it reads the whole.
    const QByteArray setting = tz.startsWith(':') ? tz.mid(1) : tz;
    std::optional<QTimeZone> zone;
    QString given = QString::fromLocal8Bit(tz);
    if (setting.isEmpty()) {
        // Qt names the system's zone from where /etc/localtime leads (or
        // /etc/timezone).
        const QByteArray name = QTimeZone::systemTimeZoneId();
        zone = ZoneOfFile(name);
        given = name.isEmpty() ? QStringLiteral("/etc/localtime") : QString::fromUtf8(name);
    } else if (setting.startsWith('/')) {
        zone = ZoneOfPath(setting);
    } else {
        zone = ZoneOfFile(setting);
        if (!zone) {
            zone = ZoneOfPosixRule(setting);
        }
    }
    return zone ? SystemZoneSetting{*zone, {}} : SystemZoneSetting{QTimeZone::utc(), given};
}

QTimeZone SystemZone() {
    return ReadSystemZone().zone;
}

QString ZoneName(const QTimeZone &zone) {
    const QByteArray id = zone.id();
    const QMutexLocker lock(&RuleZonesLock);
    return RuleNames().value(id, QString::fromUtf8(id));
}

std::optional<QDateTime> LocalDateTime(const QDate &date, const QTime &time,
                                       const QTimeZone &zone) {
    if (!date.isValid() || !time.isValid() || !zone.isValid()) {
        return std::nullopt;
    }
    const qint64 wall = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    if (!zone.hasTransitions()) {
        const int offset = zone.offsetFromUtc(UtcAt(wall));
        return QDateTime::fromSecsSinceEpoch(wall - offset, Qt::OffsetFromUTC, offset);
    }
    // Qt 6.4 resolves a repeated reading to its second occurrence and gives no
    // way to ask for the first, so the candidates are worked out here: the
    // offsets in force a day before the reading, at it and a day after it each
    // name one instant, and those instants at which the zone really has that
    // offset are the reading's occurrences.
    const ZoneOffsets &offsets = OffsetsOf(zone);
    std::optional<std::pair<qint64, int>> first;
    for (const int offset :
         {offsets.at(wall - 86400), offsets.at(wall), offsets.at(wall + 86400)}) {
        const qint64 candidate = wall - offset;
        if (offsets.at(candidate) == offset && (!first || candidate < first->first)) {
            first = {candidate, offset};
        }
    }
    if (!first) {
        return std::nullopt;
    }
    // The instant with the offset the clock had: its date and time are the
    // reading, without asking the zone again.
    return QDateTime::fromSecsSinceEpoch(first->first, Qt::OffsetFromUTC, first->second);
}

std::optional<QDateTime> DayStart(const QDate &date, const QTimeZone &zone) {
    if (std::optional<QDateTime> midnight = LocalDateTime(date, QTime(0, 0), zone)) {
        return midnight;
    }
    if (!date.isValid() || !zone.isValid()) {
        return std::nullopt;
    }
    // The change of offset across which the clock jumped over the midnight:
    // before it the clock read less, after it more. A clock change moves it
    // by a day at most.
    const qint64 wall = QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    const ZoneOffsets &offsets = OffsetsOf(zone);
    for (const QTimeZone::OffsetData &change :
         zone.transitions(UtcAt(wall - 2 * 86400), UtcAt(wall + 2 * 86400))) {
        const qint64 at = change.atUtc.toSecsSinceEpoch();
        if (at + offsets.at(at - 1) <= wall && wall < at + change.offsetFromUtc) {
            return QDateTime::fromSecsSinceEpoch(at, Qt::OffsetFromUTC, change.offsetFromUtc);
        }
    }
    return std::nullopt;
}

qint64 LocalMinuteStart(const QDateTime &instant) {
    const qint64 secs = instant.toSecsSinceEpoch();
    const qint64 local = secs + instant.offsetFromUtc();
    const qint64 second = ((local % 60) + 60) % 60;
    return secs - second;
}

} // namespace lunex
