#pragma once

#include <QString>

// The messages Lunex shows its user, gathered here so that a translator or a
// newcomer finds them all in one place. Each is the system's own text, every
// blank, accent and capital of it.

namespace lunex {

// "Most!" with a new moon that is not a date.
inline const QString NewMoonMissingMessage =
    QStringLiteral("Kérem, adja meg az UTOLSÓ ÚJHOLD időpontját!");
// "Utolsó megfigyelés" with a new moon or an observation that is not a date.
inline const QString InvalidDatesMessage =
    QStringLiteral("Kérem, adjon meg egy ÉRVÉNYES ÚJHOLD / MEGFIGYELÉSI dátumot!");
// Two times more than about 4083 years apart: the minutes overflow.
inline const QString TooFarApartMessage = QStringLiteral("A két időpont túl messze van egymástól!");
// The calculator's field that is not a number.
inline const QString NotANumberMessage = QStringLiteral("Kérem, VALÓS ADATOT adjon meg!");

} // namespace lunex
