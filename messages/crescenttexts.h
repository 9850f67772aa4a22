#pragma once

#include "lunar/crescent.h"
#include "lunar/visibilitymap.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// What the crescent's classes and evenings mean in words, for its table and
// its map.
namespace lunex {

QString YallopMeaning(YallopClass c);
QString OdehMeaning(OdehZone z);

// Why an evening has no crescent to judge, as a sentence; empty for Computed.
QString CrescentStatusText(CrescentStatus status);

// The map's legend: each class with its meaning ("A: ..."), and what the
// cells without a class show.
QString LegendLabel(YallopClass c);
QString LegendLabel(OdehZone z);
QString NoCrescentLegendLabel();
QString NoEveningLegendLabel();

// The map's title: "A holdsarló láthatósága 2026. december 9. estéjén".
QString MapTitle(const QDate &date);
// Below it: the criterion, the new moon (UTC, to the minute) and the grid's step.
QString MapSubtitle(Criterion criterion, const QDateTime &newMoon, double step);

} // namespace lunex
