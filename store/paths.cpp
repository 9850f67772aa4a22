#include "store/paths.h"

#include <algorithm>
#include <iterator>

namespace lunex {

namespace {

constexpr QStringView PhasePictureNames[] = {
    u"000-ujhold.gif", u"004-novekvo.gif", u"010-novekvo.gif",  u"014-novekvo.gif",
    u"020-negyed.gif", u"030-novekvo.gif", u"040-telihold.gif", u"050-fogyo.gif",
    u"060-utolso.gif", u"070-fogyo.gif",   u"072-fogyo.gif",    u"073-fogyo.gif",
};
// Every row of the phase table names one of them.
static_assert(std::ranges::all_of(PhaseBands, [](const PhaseBand &band) {
    return band.picture >= 0 && band.picture < int(std::size(PhasePictureNames));
}));

} // namespace

QString PhasePictureFile(const PhaseBand &band) {
    return QStringLiteral("/Pic/").append(PhasePictureNames[band.picture]);
}

QString DayPictureFile(int day) {
    return QStringLiteral("/Pic/Lunar-day%1s.gif").arg(day, 2, 10, QLatin1Char('0'));
}

QString AppPath(const QString &dir, QStringView relative) {
    return QString(dir).append(relative);
}

QString FileNameOf(QStringView relative) {
    return relative.mid(relative.lastIndexOf(u'/') + 1).toString();
}

} // namespace lunex
