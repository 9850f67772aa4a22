#pragma once

#include "lunar/lunarage.h"

#include <QString>
#include <QStringView>

namespace lunex {

// Paths below the places of store/appdirs.h, each with a leading '/'.
inline constexpr QStringView NewMoonFile = u"/Pic/ujhold.txt";
inline constexpr QStringView ObservationFile = u"/Pic/utolso.txt";
inline constexpr QStringView NewMoonListFile = u"/Pic/ujholdak.txt";
inline constexpr QStringView PlaceFile = u"/Pic/hely.txt";
// The place's own skyline (store/horizonfile.h), kept with it.
inline constexpr QStringView HorizonFile = u"/Pic/horizont.txt";
// What the windows remember between starts: the folder of the last export.
inline constexpr QStringView SettingsFile = u"/Pic/beallitasok.ini";
inline constexpr QStringView ObservationLogFile = u"/Pic/naplo.csv";

// The phase picture of a row of the phase table.
QString PhasePictureFile(const PhaseBand &band);

// The reference pictures: the Moon on its 2nd to 11th day, and the map.
inline constexpr int FirstPictureDay = 2;
inline constexpr int LastPictureDay = 11;
QString DayPictureFile(int day);
inline constexpr QStringView MapPictureFile = u"/Pic/Lunar-map.jpg";

// The place followed directly by the relative path: no separator added or
// removed.
QString AppPath(const QString &dir, QStringView relative);

// The file name at the end of such a relative path, as messages name it.
QString FileNameOf(QStringView relative);

} // namespace lunex
