#include "store/paths.h"

namespace lunex {

QString DayPictureFile(int day) {
    return QStringLiteral("\\Pic\\Lunar-day%1s.gif").arg(day, 2, 10, QLatin1Char('0'));
}

QString AppPath(const QString &dir, QStringView relative) {
    QString rel = relative.toString();
    rel.replace(u'\\', u'/');
    return dir + rel;
}

QString FileNameOf(QStringView relative) {
    return relative.mid(relative.lastIndexOf(u'\\') + 1).toString();
}

} // namespace lunex
