#pragma once

#include <QDate>
#include <QString>
#include <QTimeZone>

namespace lunex {

// At the first start there is no list of new moons: one is made for the zone
// the program runs in, last year to ten years ahead of `today`, the same as
// lunex-newmoons writes. A list that exists, whatever it holds, is the user's
// and is never touched. A list that cannot be written is left out: the
// program starts with an empty list, as with an unreadable one.
void MakeNewMoonListIfAbsent(const QString &dataDir, const QTimeZone &zone, const QDate &today);

} // namespace lunex
