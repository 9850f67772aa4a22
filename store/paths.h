#pragma once

#include <QString>
#include <QStringView>

namespace lunex {

// Paths below the places of store/appdirs.h, written the way the pictures and
// data files have always been named: a leading backslash and backslash
// separators. The phase pictures are named in the phase table (lunar/).
inline constexpr QStringView NewMoonFile = u"\\Pic\\ujhold.txt";
inline constexpr QStringView ObservationFile = u"\\Pic\\utolso.txt";
inline constexpr QStringView NewMoonListFile = u"\\Pic\\ujholdak.txt";

// The reference pictures: the Moon on its 2nd to 11th day, and the map.
inline constexpr int FirstPictureDay = 2;
inline constexpr int LastPictureDay = 11;
QString DayPictureFile(int day);
inline constexpr QStringView MapPictureFile = u"\\Pic\\Lunar-map.jpg";

// The place followed directly by the relative path, with '/' for '\': no
// separator added or removed.
QString AppPath(const QString &dir, QStringView relative);

// The file name at the end of such a relative path, as messages name it.
QString FileNameOf(QStringView relative);

} // namespace lunex
