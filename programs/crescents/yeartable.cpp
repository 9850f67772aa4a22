#include "yeartable.h"

#include "texts/placetext.h"
#include "texts/yeartexts.h"

#include <QStringList>

#include <algorithm>

namespace lunex::crescents {
namespace {

// The columns that hold numbers, right-aligned: the age, q and V.
bool RightAligned(qsizetype column) {
    return column == 4 || column == 5 || column == 7;
}

QString TableLine(const QStringList &cells, const QList<int> &widths) {
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            text += QStringLiteral("  ");
        }
        text += RightAligned(i) ? cells[i].rightJustified(widths[i])
                                : cells[i].leftJustified(widths[i]);
    }
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text + u'\n';
}

} // namespace

QString FormatYearTable(const YearOverview &year, const TableSetting &setting) {
    const QLocale &loc = setting.locale;
    QList<QStringList> rows{QStringList{QStringLiteral("Újhold"), QStringLiteral("Látható")} +
                            YearSightHeadings() + QStringList{QString()}};
    for (int i = 0; i < year.lunations.size(); ++i) {
        const YearLunation &y = year.lunations[i];
        for (const Sight sight : Sights) {
            rows << QStringList{sight == Sights.front() ? YearNewMoonText(y, setting.zone, loc)
                                                        : QString(),
                                SightText(sight)} +
                        YearSightCells(y.of(sight), setting.place, setting.zone, loc) +
                        QStringList{year.isRecord(i, sight) ? RecordMark.toString() : QString()};
        }
    }
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList &cells : rows) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], int(cells[i].size()));
        }
    }
    QString out = QStringLiteral("Éves áttekintés, %1: %2 (%3); idő: %4\n\n")
                      .arg(year.year)
                      .arg(setting.placeName, PlaceText(setting.place, loc),
                           setting.zone == QTimeZone::utc() ? QStringLiteral("világidő (UTC)")
                                                            : QString::fromUtf8(setting.zone.id()));
    for (const QStringList &cells : rows) {
        out += TableLine(cells, widths);
    }
    return out + u'\n' + YearNotes();
}

} // namespace lunex::crescents
