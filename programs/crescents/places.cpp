#include "places.h"

#include <QFile>

#include <cmath>

// Outside any namespace, as the macro requires; the list lives in a static
// library, whose resources are not registered by themselves.
static void RegisterPlaceResource() {
    Q_INIT_RESOURCE(crescents);
}

namespace lunex::crescents {
namespace {

// Folded for matching: lower case, accents stripped (ø and ß have no
// decomposition, so they are spelt out as in the names' Latin forms).
QString Folded(const QString &name) {
    QString folded;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD).toCaseFolded()) {
        if (c.category() == QChar::Mark_NonSpacing) {
            continue;
        }
        if (c == u'ø') {
            folded += u'o';
        } else {
            folded += c;
        }
    }
    return folded.simplified();
}

} // namespace

std::optional<QList<NamedPlace>> ParsePlaces(const QString &text) {
    QList<NamedPlace> places;
    bool header = true;
    for (const QString &raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (header) {
            header = false;
            continue;
        }
        const QStringList cells = line.split(u',');
        if (cells.size() != 5) {
            return std::nullopt;
        }
        bool ok[3] = {};
        NamedPlace p{
            cells[0].trimmed(),
            cells[1].split(u'|', Qt::SkipEmptyParts),
            {cells[2].toDouble(&ok[0]), cells[3].toDouble(&ok[1]), cells[4].toDouble(&ok[2])}};
        if (p.name.isEmpty() || !ok[0] || !ok[1] || !ok[2] || std::abs(p.place.latitude) > 90 ||
            std::abs(p.place.longitude) > 180) {
            return std::nullopt;
        }
        places.append(p);
    }
    return places;
}

const QList<NamedPlace> &BuiltInPlaces() {
    static const QList<NamedPlace> places = [] {
        RegisterPlaceResource();
        QFile file(QStringLiteral(":/lunex-crescents/places.csv"));
        if (!file.open(QIODevice::ReadOnly)) {
            return QList<NamedPlace>();
        }
        return ParsePlaces(QString::fromUtf8(file.readAll())).value_or(QList<NamedPlace>());
    }();
    return places;
}

std::optional<NamedPlace> FindPlace(const QString &name) {
    const QString wanted = Folded(name);
    for (const NamedPlace &p : BuiltInPlaces()) {
        if (Folded(p.name) == wanted) {
            return p;
        }
        for (const QString &alias : p.aliases) {
            if (Folded(alias) == wanted) {
                return p;
            }
        }
    }
    return std::nullopt;
}

} // namespace lunex::crescents
