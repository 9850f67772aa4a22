#include "lunar/places.h"

#include <QString>

#include <algorithm>

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

// Whether the place's name or one of its aliases, folded, passes the test.
template <typename Test> bool AnyName(const NamedPlace &p, Test test) {
    if (test(Folded(p.name))) {
        return true;
    }
    return std::any_of(p.aliases.begin(), p.aliases.end(),
                       [&](QStringView alias) { return !alias.isEmpty() && test(Folded(alias)); });
}

} // namespace

std::optional<NamedPlace> FindPlace(QStringView name) {
    const QString wanted = Folded(name);
    for (const NamedPlace &p : BuiltInPlaces) {
        if (AnyName(p, [&](const QString &folded) { return folded == wanted; })) {
            return p;
        }
    }
    return std::nullopt;
}

QList<NamedPlace> SearchPlaces(QStringView typed) {
    const QString wanted = Folded(typed);
    QList<NamedPlace> found;
    for (const NamedPlace &p : BuiltInPlaces) {
        if (AnyName(p, [&](const QString &folded) { return folded.contains(wanted); })) {
            found.append(p);
        }
    }
    return found;
}

} // namespace lunex
