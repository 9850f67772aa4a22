#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"

#include <QColor>
#include <QDate>
#include <QLocale>
#include <QTableWidget>
#include <QTimeZone>

namespace lunex {

// The colour of a class's cell: the map's shade as it looks over white.
QColor ClassCellColour(YallopClass yallop);
QColor ClassCellColour(OdehZone odeh);

// What the evenings are shown for: the place, the clock of the zone, the
// user's forms of dates and numbers, and today, which is highlighted.
struct EveningsSetting {
    Place place;
    QTimeZone zone;
    QLocale locale;
    QDate today;
};

// The evenings of one lunation, a row each: times, the Moon's place, the
// criteria's numbers, each class in its colour with its meaning, the first
// evenings marked; a sentence where an evening has no crescent.
// What the classes' letters mean, each on its colour, as rich text: the
// legend below the table.
QString ClassLegendText();

class EveningsTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column {
        Date,
        Sunset,
        Moonset,
        Lag,
        BestTime,
        Age,
        MoonAtSunset,
        MoonAtBestTime,
        Arcl,
        Illuminated,
        Width,
        Q,
        Yallop,
        V,
        Odeh,
        Marks,
        ColumnCount
    };

    explicit EveningsTable(QWidget *parent = nullptr);
    void showLunation(const Lunation &lunation, const EveningsSetting &setting);
    // The row of today's evening, or -1.
    int todayRow() const { return todayRow_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showEvening(int row, const Evening &evening, const EveningsSetting &setting);
    void showStatus(int row, const QString &sentence);
    void markToday(int row);
    void fitHeight();

    int todayRow_ = -1;
};

} // namespace lunex
