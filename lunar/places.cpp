#include "lunar/places.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>

namespace lunex {
namespace {

// Folded for matching: lower case, accents left off.
QString Folded(QStringView name) {
    return WithoutAccents(name).toCaseFolded().simplified();
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

QString WithoutAccents(QStringView text) {
    QString bare;
    for (const QChar c : text.toString().normalized(QString::NormalizationForm_KD)) {
        if (c == u'ø' || c == u'Ø') {
            // Spelt as in the names' Latin forms.
            bare += c == u'ø' ? u'o' : u'O';
        } else if (c.category() != QChar::Mark_NonSpacing) {
            bare += c;
        }
    }
    return bare;
}

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
    // The table keeps its groups (the county seats, then the world); a list
    // is read in the alphabet's order, as Hungarian sorts it.
    QCollator hungarian{QLocale(QLocale::Hungarian, QLocale::Hungary)};
    std::stable_sort(found.begin(), found.end(), [&](const NamedPlace &a, const NamedPlace &b) {
        return hungarian.compare(a.name, b.name) < 0;
    });
    return found;
}

} // namespace lunex
