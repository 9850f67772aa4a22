#include "lunar/places.h"

#include <QString>

namespace lunex {
namespace {

// Folded for matching: lower case, accents stripped (ø has no decomposition,
// so it is spelt out as in the names' Latin forms).
QString Folded(QStringView name) {
    QString folded;
    for (const QChar c : name.toString().normalized(QString::NormalizationForm_KD).toCaseFolded()) {
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

std::optional<NamedPlace> FindPlace(QStringView name) {
    const QString wanted = Folded(name);
    for (const NamedPlace &p : BuiltInPlaces) {
        if (Folded(p.name) == wanted) {
            return p;
        }
        for (const QStringView alias : p.aliases) {
            if (!alias.isEmpty() && Folded(alias) == wanted) {
                return p;
            }
        }
    }
    return std::nullopt;
}

} // namespace lunex
