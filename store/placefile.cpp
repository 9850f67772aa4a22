#include "store/placefile.h"

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
    return SingleValueBytes(QStringLiteral("%1;%2;%3;%4")
                                .arg(WritableName(place.name), FileNumber(place.place.latitude, 6),
                                     FileNumber(place.place.longitude, 6),
                                     FileNumber(place.place.elevation, 1)));
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

std::optional<ObserverPlace> ParsePlaceFile(QByteArrayView bytes) {
    const QString text =
        bytes.startsWith("\xEF\xBB\xBF") ? QString::fromUtf8(bytes.sliced(3)) : DecodeAnsi(bytes);
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    const QStringList lines = text.split(lineEnd, Qt::SkipEmptyParts);
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [](const QString &l) { return !l.trimmed().isEmpty(); });
    const QStringList fields = line == lines.end() ? QStringList() : line->split(u';');
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
    const QString name = fields.first(n - 3).join(u';').trimmed();
    return ObserverPlace{name.isEmpty() ? UnnamedPlace : BuiltInSpelling(name, place), place};
}

} // namespace

ObserverPlace DefaultObserverPlace() {
    const NamedPlace budapest = FindPlace(u"Budapest").value();
    return {budapest.name.toString(), budapest.place};
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
        if (const std::optional<ObserverPlace> place = ParsePlaceFile(*read.bytes)) {
            return {*place, false, {}};
        }
        reason = MalformedPlaceReason;
    }
    const ObserverPlace fallback = DefaultObserverPlace();
    return {fallback, true, PlaceFileFallbackMessage(FileNameOf(PlaceFile), reason, fallback.name)};
}

FileProblem SaveObserverPlace(const QString &dataDir, const ObserverPlace &place) {
    return WriteFileAtomically(AppPath(dataDir, PlaceFile), PlaceFileBytes(place));
}

} // namespace lunex
