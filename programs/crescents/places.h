#pragma once

#include "lunar/ephemeris.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace lunex::crescents {

struct NamedPlace {
    QString name;
    QStringList aliases;
    Place place;
};

// The places of data/places.csv, built into the program.
const QList<NamedPlace> &BuiltInPlaces();

// A built-in place by its name or one of its aliases, regardless of capitals
// and accents ("tromso" finds Tromsø).
std::optional<NamedPlace> FindPlace(const QString &name);

// Parses the CSV text of the place list; empty on a malformed line.
std::optional<QList<NamedPlace>> ParsePlaces(const QString &text);

} // namespace lunex::crescents
