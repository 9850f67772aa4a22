#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"
#include "lunar/horizon.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// The table of lunex-crescents: the evenings after each new moon at one
// place, or the mornings before it, or both.
namespace lunex::crescents {

struct TableSetting {
    QString placeName;
    Place place;
    QTimeZone placeZone; // the place's own clock, whose dates the rows are
    QTimeZone zone;      // the clock the times are shown on
    QLocale locale;
    // The place's own skyline; the lunations are computed against it, and the
    // table says where the Moon stands against it. Flat for none.
    HorizonProfile skyline = {};
};

enum class TableWidth {
    Narrow, // the essential columns, within 100 characters
    Wide,   // every quantity of the criteria, and the meaning of Yallop's class
};

// The table for a terminal: the user's locale for dates and numbers, the
// zone's civil time.
QString FormatTable(const QList<Lunation> &lunations, const TableSetting &setting, TableWidth width,
                    DayParts parts = DayParts::Evenings);

} // namespace lunex::crescents
