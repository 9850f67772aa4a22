#include "clock/civiltime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
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

// Every name the database knows: its zones ("Z name ...") and their aliases
// ("L target name") in tzdata.zi, the source from which its files are made.
// The folder holds other files too (tables, leap seconds, copies with leap
// seconds under right/), which name no zone.
const QSet<QByteArray> &DatabaseNames() {
    static const QSet<QByteArray> names = [] {
        QSet<QByteArray> found;
        QFile source(ZoneInfoDir() + QStringLiteral("/tzdata.zi"));
        if (!source.open(QIODevice::ReadOnly)) {
            return found;
        }
        while (!source.atEnd()) {
            const QList<QByteArray> fields = source.readLine().trimmed().split(' ');
            if (fields.size() >= 2 && fields[0] == "Z") {
                found.insert(fields[1]);
            } else if (fields.size() >= 3 && fields[0] == "L") {
                found.insert(fields[2]);
            }
        }
        return found;
    }();
    return names;
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

// A POSIX rule's zone name at `at`: three or more letters, or three or more
// letters, digits, '+' and '-' between '<' and '>'.
bool ReadPosixName(const QByteArray &rule, qsizetype &at) {
    const auto inQuotes = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-';
    };
    qsizetype end = at;
    if (at < rule.size() && rule[at] == '<') {
        end = rule.indexOf('>', at);
        if (end < at + 4 || !std::all_of(rule.begin() + at + 1, rule.begin() + end, inQuotes)) {
            return false;
        }
        at = end + 1;
        return true;
    }
    while (end < rule.size() && std::isalpha(static_cast<unsigned char>(rule[end]))) {
        ++end;
    }
    if (end - at < 3) {
        return false;
    }
    at = end;
    return true;
}

// A POSIX offset at `at`, [+|-]hh[:mm[:ss]]: seconds west of Greenwich, as
// POSIX counts them.
std::optional<int> ReadPosixOffset(const QByteArray &rule, qsizetype &at) {
    int sign = 1;
    if (at < rule.size() && (rule[at] == '+' || rule[at] == '-')) {
        sign = rule[at++] == '-' ? -1 : 1;
    }
    int seconds = 0;
    for (const int unit : {3600, 60, 1}) {
        if (unit != 3600) {
            if (at >= rule.size() || rule[at] != ':') {
                break;
            }
            ++at;
        }
        const qsizetype start = at;
        int value = 0;
        while (at < rule.size() && at - start < 2 &&
               std::isdigit(static_cast<unsigned char>(rule[at]))) {
            value = value * 10 + (rule[at++] - '0');
        }
        if (at == start || value > (unit == 3600 ? 24 : 59)) {
            return std::nullopt;
        }
        seconds += value * unit;
    }
    return sign * seconds;
}

std::optional<QTimeZone> ZoneOfPosixRule(const QByteArray &rule) {
    qsizetype at = 0;
    std::optional<int> west;
    if (!ReadPosixName(rule, at) || !(west = ReadPosixOffset(rule, at))) {
        return std::nullopt;
    }
    if (at == rule.size()) {
        // Built here: Qt reads "UTC+3" as three hours east.
        return std::abs(*west) <= 14 * 3600 ? std::optional(QTimeZone(-*west)) : std::nullopt;
    }
    // Summer time: Qt follows the rule exactly when it gives both dates of
    // change. Without them the C library takes dates of its own choosing.
    if (!rule.contains(',')) {
        return std::nullopt;
    }
    const QTimeZone zone(rule);
    return zone.isValid() ? std::optional(zone) : std::nullopt;
}

} // namespace

std::optional<QTimeZone> NamedZone(QStringView name) {
    const QByteArray id = name.toUtf8();
    if (!DatabaseNames().contains(id)) {
        return std::nullopt;
    }
    const QTimeZone zone(id);
    return zone.isValid() ? std::optional(zone) : std::nullopt;
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

qint64 LocalMinuteStart(const QDateTime &instant) {
    const qint64 secs = instant.toSecsSinceEpoch();
    const qint64 local = secs + instant.offsetFromUtc();
    const qint64 second = ((local % 60) + 60) % 60;
    return secs - second;
}

} // namespace lunex
