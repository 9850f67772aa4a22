#pragma once

#include "lunar/ephemeris.h"
#include "lunar/evenings.h"

#include <QColor>
#include <QDate>
#include <QLocale>
#include <QTableWidget>
#include <QTimeZone>

namespace lunex {

// What the evenings are shown for: the place, the clock of the zone, the
// user's forms of dates and numbers, and today, which is highlighted.
struct EveningsSetting {
    Place place;
    QTimeZone zone;
    QLocale locale;
    QDate today;
    // The place has a skyline of its own: the Moon against it has a column.
    bool skyline = false;
};

// What the classes' letters mean, each on its colour, as rich text: the
// legend below the table.
QString ClassLegendText();

// The mornings and evenings of one lunation, a row each in time order, the
// new moon's row between them: times, the Moon's place, the criteria's
// numbers, each class in its colour with its meaning, the twilight at the
// best time and the Moon against the place's skyline, the first evenings and
// the last mornings marked; a sentence where a row has no crescent.
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
        SunAtBestTime,
        Skyline,
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
    // The rows of today's morning and evening, the earlier first.
    const QList<int> &todayRows() const { return todayRows_; }

    // Rows and the lunation's mornings and evenings: the mornings, the new
    // moon's row, then the evenings. The row of the index-th morning or
    // evening (-1 when there is none), and what a row shows (none for the
    // new moon's).
    int rowOf(Direction direction, int index) const;
    const Evening *dayAt(int row) const;
    int newMoonRow() const { return int(mornings_); }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showEvening(int row, const Evening &evening, const EveningsSetting &setting);
    // The sentence across the row from the column `from` on.
    void showStatus(int row, const QString &sentence, int from = Age);
    void showNewMoon(int row, const QDateTime &newMoon, const EveningsSetting &setting);
    void markToday(int row);
    void fitHeight();

    QList<int> todayRows_;
    QList<Evening> days_; // what the rows show, in time order
    qsizetype mornings_ = 0;
    int fullHeight_ = 0; // every row in view
};

} // namespace lunex
