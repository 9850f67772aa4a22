#include "store/paths.h"

namespace lunex {

QString PhasePictureFile(const PhaseBand &band) {
    static constexpr QStringView Names[] = {
        u"000-ujhold.gif", u"004-novekvo.gif", u"010-novekvo.gif",  u"014-novekvo.gif",
        u"020-negyed.gif", u"030-novekvo.gif", u"040-telihold.gif", u"050-fogyo.gif",
        u"060-utolso.gif", u"070-fogyo.gif",   u"072-fogyo.gif",    u"073-fogyo.gif",
    };
    return QStringLiteral("/Pic/").append(Names[band.picture]);
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
