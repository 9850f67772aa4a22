#include "store/placefile.h"

#include "clock/civiltime.h"
#include "lunar/places.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace lunex {
namespace {

// One character of a name as Windows-1250 can write it.
QString WritableCharacter(char32_t c) {
    const QString text = QString::fromUcs4(&c, 1);
    if (QChar::category(c) == QChar::Other_Control) {
        return QStringLiteral(" "); // a line break would end the line
    }
    if (text == u"?" || EncodeAnsi(text) != "?") {
        return text;
    }
    // The letter without its accent.
    QString base;
    for (const QChar part : WithoutAccents(text)) {
        if (EncodeAnsi(QString(part)) != "?") {
            base += part;
        }
    }
    return base.isEmpty() ? QStringLiteral("?") : base;
}

QString WritableName(const QString &name) {
    QString out;
    for (const char32_t c : name.normalized(QString::NormalizationForm_C).toUcs4()) {
        out += WritableCharacter(c);
    }
    return out.simplified();
}

// Up to `decimals` decimals, with trailing zeros left off: "47.5", "105".
QString FileNumber(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.'))) {
        text.chop(1);
    }
    return text == u"-0" ? QStringLiteral("0") : text;
}

std::optional<double> FileNumberOf(QString text) {
    bool ok = false;
    const double value = text.trimmed().replace(u',', u'.').toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

bool IsOnEarth(const Place &p) {
    return std::abs(p.latitude) <= 90 && std::abs(p.longitude) <= 180 &&
           p.elevation >= LowestElevation && p.elevation <= HighestElevation;
}

QByteArray PlaceFileBytes(const ObserverPlace &place) {
    QString line =
        QStringLiteral("%1;%2;%3;%4")
            .arg(WritableName(place.name), FileNumber(place.place.latitude, 6),
                 FileNumber(place.place.longitude, 6), FileNumber(place.place.elevation, 1));
    // A place on the system's clock is written as older versions read it.
    if (const QString zone = place.zone.trimmed(); !zone.isEmpty()) {
        line += u';' + zone;
    }
    // Windows-1250 bytes that happen to be valid UTF-8 would read back as
    // another name ("TĂˇpĂ©" as "Tápé"): such a line is written in UTF-8 with
    // its mark, as an editor writes it, which the reader takes for UTF-8.
    const QByteArray bytes = SingleValueBytes(line);
    if (DecodeTextFile(bytes) != DecodeAnsi(bytes)) {
        return "\xEF\xBB\xBF" + line.toUtf8() + "\r\n";
    }
    return bytes;
}

// A built-in place whose name the file could not spell comes back under it.
QString BuiltInSpelling(const QString &name, const Place &place) {
    for (const NamedPlace &p : BuiltInPlaces) {
        const QString spelling = p.name.toString();
        if (WritableName(spelling) == name && std::abs(p.place.latitude - place.latitude) < 1e-6 &&
            std::abs(p.place.longitude - place.longitude) < 1e-6 &&
            std::abs(p.place.elevation - place.elevation) < 0.05) {
            return spelling;
        }
    }
    return name;
}

// A name as the file holds it, made safe to show and print: control
// characters (an escape sequence that would retitle or recolour a terminal, a
// NUL that would end up in a CSV) become blanks, as the place dialog makes
// them, and a name past PlaceNameLimit is cut there: no window or table has
// room for more.
QString ReadableName(QString name) {
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control) {
            c = u' ';
        }
    }
    name = name.trimmed();
    if (name.size() > PlaceNameLimit) {
        name.truncate(PlaceNameLimit);
        // Not between the halves of a character beyond the BMP.
        if (name.back().isHighSurrogate()) {
            name.chop(1);
        }
        name = name.trimmed();
    }
    return name;
}

// The place, and the zone's name as the file gives it (empty for none).
std::optional<std::pair<ObserverPlace, QString>> ParsePlaceFile(QByteArrayView bytes) {
    const QString text = DecodeTextFile(bytes);
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    const QStringList lines = text.split(lineEnd, Qt::SkipEmptyParts);
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [](const QString &l) { return !l.trimmed().isEmpty(); });
    QStringList fields = line == lines.end() ? QStringList() : line->split(u';');
    // No zone's name is a number, and an elevation always is: a line that
    // ends in a number has no zone, whatever ';' its name holds.
    QString zone;
    if (fields.size() >= 5 && !FileNumberOf(fields.constLast())) {
        zone = fields.takeLast().trimmed();
    }
    if (fields.size() < 4) {
        return std::nullopt;
    }
    const qsizetype n = fields.size();
    const auto latitude = FileNumberOf(fields[n - 3]);
    const auto longitude = FileNumberOf(fields[n - 2]);
    const auto elevation = FileNumberOf(fields[n - 1]);
    if (!latitude || !longitude || !elevation || !IsOnEarth({*latitude, *longitude, *elevation})) {
        return std::nullopt;
    }
    const Place place{*latitude, *longitude, *elevation};
    const QString name = ReadableName(fields.first(n - 3).join(u';'));
    return std::pair{
        ObserverPlace{IsBlankPlaceName(name) ? UnnamedPlace : BuiltInSpelling(name, place), place},
        zone};
}

} // namespace

bool IsBlankPlaceName(QStringView name) {
    const QList<uint> characters = name.toUcs4();
    return std::all_of(characters.begin(), characters.end(), [](uint c) {
        const QChar::Category category = QChar::category(char32_t(c));
        // The Hangul fillers are letters that show nothing.
        return QChar::isSpace(char32_t(c)) || category == QChar::Other_Control ||
               category == QChar::Other_Format || c == 0x115F || c == 0x1160 || c == 0x3164 ||
               c == 0xFFA0;
    });
}

ObserverPlace DefaultObserverPlace() {
    const NamedPlace budapest = FindPlace(u"Budapest").value();
    // On the system's clock, as before any zone was kept.
    return {budapest.name.toString(), budapest.place};
}

QTimeZone ZoneOf(const ObserverPlace &place) {
    return place.zone.isEmpty() ? SystemZone() : NamedZone(place.zone).value_or(SystemZone());
}

PlaceReading LoadObserverPlace(const QString &dataDir) {
    const QString path = AppPath(dataDir, PlaceFile);
    const QFileInfo info(path);
    // Before the first choice there is no file, and nothing to report.
    if (!info.exists() && !info.isSymLink()) {
        return {DefaultObserverPlace(), false, {}};
    }
    const ReadResult read = ReadAllBytes(path);
    QString reason = ProblemText(read.problem);
    if (read.bytes) {
        if (const auto parsed = ParsePlaceFile(*read.bytes)) {
            auto [place, zone] = *parsed;
            if (zone.isEmpty() || NamedZone(zone)) {
                place.zone = zone;
                return {place, false, {}};
            }
            return {place, false,
                    UnknownPlaceZoneMessage(FileNameOf(PlaceFile), ReadableName(zone))};
        }
        reason = MalformedPlaceReason;
    }
    const ObserverPlace fallback = DefaultObserverPlace();
    return {fallback, true, PlaceFileFallbackMessage(FileNameOf(PlaceFile), reason, fallback.name)};
}

FileProblem SaveObserverPlace(const QString &dataDir, const ObserverPlace &place) {
    return WriteDataFile(AppPath(dataDir, PlaceFile), PlaceFileBytes(place));
}

} // namespace lunex
