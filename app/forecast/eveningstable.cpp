#include "app/forecast/eveningstable.h"

#include "charts/visibilitychart.h"
#include "look/colours.h"
#include "look/look.h"
#include "messages/crescenttexts.h"
#include "texts/datetext.h"
#include "texts/eveningtexts.h"

#include <QHeaderView>
#include <QScrollBar>

#include <cmath>

namespace lunex {
namespace {

// However small the window, this many rows are in view.
constexpr int RowsAlwaysInView = 3;

struct Heading {
    const char16_t *text;
    const char16_t *explanation;
};

// By EveningsTable::Column.
constexpr Heading Headings[] = {
    {u"Dátum", u"A reggel vagy az este dátuma"},
    {u"Nap-\nnyugta /\nnapkelte",
     u"Este a napnyugta, reggel a napkelte időpontja; (+1): a következő, (−1): az előző napon"},
    {u"Hold-\nnyugta /\nholdkelte",
     u"Este a holdnyugta, reggel a holdkelte időpontja; (+1): a következő, (−1): az előző napon"},
    {u"Késés\n(perc)", u"Este a holdnyugta és a napnyugta, reggel a napkelte és a holdkelte "
                       u"különbsége percben"},
    {u"Legjobb\nidőpont", u"A legjobb megfigyelési időpont: este napnyugta + 4/9 késés, "
                          u"reggel napkelte − 4/9 késés"},
    {u"Kor", u"A holdsarló kora a legjobb időpontban; reggel negatív: az újhold előtt"},
    {u"Hold nap-\nnyugtakor /\nnapkeltekor",
     u"A Hold látszó magassága és azimutja (északtól keletre) napnyugtakor, reggel napkeltekor"},
    {u"Hold a\nlegjobb\nidőpontban",
     u"A Hold látszó magassága és azimutja (északtól keletre) a legjobb időpontban"},
    {u"Nap,\nszürkület",
     u"A Nap látszó magassága a legjobb időpontban, és a szürkület, amelyet jelent"},
    {u"Helyi\nhorizont",
     u"A Hold a helyi horizonthoz képest: a legjobb időpontban fölötte vagy mögötte, és "
     u"mikor bukik mögé (reggel: mikor emelkedik fölé)"},
    {u"ARCL", u"A Nap és a Hold szögtávolsága"},
    {u"Megvi-\nlágítás", u"A Hold korongjának megvilágított része a legjobb időpontban"},
    {u"W′", u"A holdsarló szélessége ívpercben"},
    {u"q", u"Yallop feltétele (NAO Technical Note 69, 1998)"},
    {u"Yallop", u"Yallop osztálya és jelentése"},
    {u"V", u"Odeh feltétele (Experimental Astronomy 18, 2004)"},
    {u"Odeh", u"Odeh zónája és jelentése"},
    {u"Jel", u"●: az első este, amikor szabad szemmel is látható (Yallop A–B); "
             u"○: az első este, amikor optikai eszközzel látható (Yallop A–D); "
             u"reggel ugyanezek jelölik az utolsó reggelt"},
};
static_assert(std::size(Headings) == EveningsTable::ColumnCount);

QString Degrees(double value, const QLocale &locale) {
    return locale.toString(value, 'f', 1) + u'°';
}

QString MoonPlaceText(const std::optional<Horizontal> &moon, const QLocale &locale) {
    return moon ? Degrees(moon->altitude, locale) + QStringLiteral(", ") +
                      Degrees(moon->azimuth, locale)
                : QStringLiteral("–");
}

// What a screen reader says for the marks, which have no words of their own.
QString MarksSpoken(const Evening &e) {
    QStringList said;
    if (e.firstNakedEye) {
        said << QStringLiteral("első este szabad szemmel");
    }
    if (e.firstOpticalAid) {
        said << QStringLiteral("első este optikai eszközzel");
    }
    if (e.lastNakedEye) {
        said << QStringLiteral("utolsó reggel szabad szemmel");
    }
    if (e.lastOpticalAid) {
        said << QStringLiteral("utolsó reggel optikai eszközzel");
    }
    return said.join(QStringLiteral(", "));
}

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignRight) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A cell too narrow for the whole of what it means: the whole in the tooltip
// and in what a screen reader says.
QTableWidgetItem *ExplainedCell(const QString &text, const QString &whole,
                                Qt::Alignment alignment = Qt::AlignRight) {
    QTableWidgetItem *item = Cell(text, alignment);
    item->setToolTip(whole);
    item->setData(Qt::AccessibleTextRole, whole);
    return item;
}

// A word cut to the column's width as Hungarian abbreviates, with a full
// stop: "csillagászati" reads "csill.".
QString Abbreviated(const QString &word) {
    constexpr int Longest = 8;
    return word.size() <= Longest ? word : word.left(5) + u'.';
}

// "-5,2° polgári": the Sun's altitude and the first word of the twilight's name.
QTableWidgetItem *TwilightCell(double sunAltitude, const QLocale &locale) {
    const QString stage = TwilightName(TwilightAt(sunAltitude));
    const QString altitude = Degrees(sunAltitude, locale);
    return ExplainedCell(
        altitude + u' ' + Abbreviated(stage.section(u' ', 0, 0)),
        QStringLiteral("A Nap magassága a legjobb időpontban %1: %2").arg(altitude, stage));
}

// Whether the Moon stands above the skyline at the best time, and when it
// sinks behind it (rises above it in the morning): "fölött 16:48"; the
// drawing's sentence on hovering.
QTableWidgetItem *SkylineCell(const Evening &e, const EveningsSetting &setting,
                              const QDate &shown) {
    if (!e.skyline) {
        return Cell(QStringLiteral("–"));
    }
    const SkylineMoon &moon = *e.skyline;
    const QString clock =
        moon.crossingJd ? EveningClockText(moon.crossingJd, shown, setting.zone, setting.locale)
                        : QString();
    QString said = SkylineSummary(moon.aboveAtBestTime,
                                  moon.crossingJd ? SkylineCrossingText(clock, e.direction)
                                                  : SkylineHidesMoonText());
    said[0] = said[0].toUpper();
    return ExplainedCell(SkylineCellText(moon, clock), said + u'.');
}

// The letter in its colour; its meaning in the tooltip, in what a screen
// reader says and in the legend below the table, so that every column fits
// a screen 1024 pixels wide.
QTableWidgetItem *ClassCell(QChar letter, const QString &meaning, const QColor &colour) {
    QTableWidgetItem *item =
        ExplainedCell(letter, QStringLiteral("%1 – %2").arg(letter).arg(meaning), Qt::AlignCenter);
    item->setBackground(colour);
    item->setForeground(look::ClassicWindowText);
    return item;
}

// One criterion's classes for the legend: each letter on its colour, then its meaning.
template <typename Class>
QString LegendLine(const QString &criterion, int count, QString (*meaning)(Class)) {
    QStringList parts;
    for (int i = 0; i < count; ++i) {
        parts << QStringLiteral("<span style=\"background-color:%1\">&nbsp;%2&nbsp;</span> %3")
                     .arg(ClassCellColour(Class(i)).name(), QString(ClassLetter(Class(i))),
                          meaning(Class(i)).toHtmlEscaped());
    }
    return QStringLiteral("<b>%1:</b> ").arg(criterion) + parts.join(QStringLiteral(" · "));
}

} // namespace

QString ClassLegendText() {
    return LegendLine(QStringLiteral("Yallop"), ClassCount(Criterion::Yallop), &YallopMeaning) +
           QStringLiteral("<br>") +
           LegendLine(QStringLiteral("Odeh"), ClassCount(Criterion::Odeh), &OdehMeaning);
}

EveningsTable::EveningsTable(QWidget *parent) : QTableWidget(0, ColumnCount, parent) {
    setObjectName(QStringLiteral("eveningsTable"));
    // The narrow face, so that every column fits a screen 1024 pixels wide;
    // hinted to whole pixels, or its thin strokes blur to grey.
    QFont narrow = look::Font(look::Face::ArialNarrow, 10);
    narrow.setHintingPreference(QFont::PreferFullHinting);
    setFont(narrow);
    horizontalHeader()->setFont(narrow);
    setAccessibleName(QStringLiteral("Esték"));
    for (int column = 0; column < ColumnCount; ++column) {
        auto *heading = new QTableWidgetItem(QString::fromUtf16(Headings[column].text));
        heading->setToolTip(QString::fromUtf16(Headings[column].explanation));
        setHorizontalHeaderItem(column, heading);
    }
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTabKeyNavigation(false); // Tab leaves the table; the arrows move in it
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void EveningsTable::showLunation(const Lunation &lunation, const EveningsSetting &setting) {
    clearSpans();
    days_ = MorningsAndEvenings(lunation);
    mornings_ = lunation.mornings.size();
    setRowCount(int(days_.size()) + 1);
    todayRows_.clear();
    setColumnHidden(Skyline, !setting.skyline);
    for (int row = 0; row < rowCount(); ++row) {
        if (const Evening *day = dayAt(row)) {
            showEvening(row, *day, setting);
        } else {
            showNewMoon(row, lunation.newMoon, setting);
        }
    }
    resizeColumnsToContents();
    resizeRowsToContents();
    fitHeight();
}

int EveningsTable::rowOf(Direction direction, int index) const {
    const qsizetype count = direction == Direction::Morning ? mornings_ : days_.size() - mornings_;
    if (index < 0 || index >= count) {
        return -1;
    }
    return direction == Direction::Morning ? index : int(mornings_) + 1 + index;
}

const Evening *EveningsTable::dayAt(int row) const {
    if (row < 0 || row == newMoonRow() || row > days_.size()) {
        return nullptr;
    }
    return &days_[row < newMoonRow() ? row : row - 1];
}

// Between the mornings and the evenings, across the table; not a row to choose.
void EveningsTable::showNewMoon(int row, const QDateTime &newMoon, const EveningsSetting &setting) {
    for (int column = 0; column < ColumnCount; ++column) {
        setItem(row, column, Cell(QString()));
    }
    QTableWidgetItem *cell = Cell(
        QStringLiteral("Újhold: %1")
            .arg(MinuteText(RoundedToMinute(newMoon).toTimeZone(setting.zone), setting.locale)),
        Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    cell->setFont(bold);
    cell->setFlags(Qt::ItemIsEnabled);
    setItem(row, Date, cell);
    setSpan(row, Date, 1, ColumnCount);
}

void EveningsTable::showEvening(int row, const Evening &e, const EveningsSetting &setting) {
    const QLocale &loc = setting.locale;
    const CrescentSighting &s = e.sighting;
    const QDate shown = CivilDateOf(e, setting.place, setting.zone);
    const bool today = shown == setting.today;
    // Which part of the day, on every row: a morning and an evening of the
    // same date read alike otherwise.
    setItem(row, Date,
            Cell(loc.toString(shown, QLocale::ShortFormat) +
                     (e.isMorning() ? QStringLiteral(" reggel") : QStringLiteral(" este")) +
                     (today ? QStringLiteral(" (ma)") : QString()),
                 Qt::AlignLeft));
    setItem(row, Sunset, Cell(EveningClockText(s.sunEvent, shown, setting.zone, loc)));
    setItem(row, Moonset, Cell(EveningClockText(s.moonEvent, shown, setting.zone, loc)));
    setItem(row, Lag,
            Cell(s.lagMinutes ? loc.toString(std::lround(*s.lagMinutes)) : QStringLiteral("–")));
    setItem(row, BestTime, Cell(EveningClockText(s.bestTime, shown, setting.zone, loc)));
    if (s.status != CrescentStatus::Computed) {
        // A Moon that does not set (rise) has no crescent to judge, but it
        // is up at sunset (sunrise): where it is then stays in its column.
        const bool placed = s.status == CrescentStatus::MoonStaysUp && e.moonAtSunset;
        showStatus(row, CrescentStatusText(s.status, e.direction), placed ? MoonAtBestTime : Age);
        if (placed) {
            setItem(row, Age, Cell(QStringLiteral("–")));
            setItem(row, MoonAtSunset, Cell(MoonPlaceText(e.moonAtSunset, loc)));
        }
    } else {
        setItem(row, Age, Cell(CrescentAgeText(e.age, loc)));
        setItem(row, MoonAtSunset, Cell(MoonPlaceText(e.moonAtSunset, loc)));
        setItem(row, MoonAtBestTime, Cell(MoonPlaceText(e.moonAtBestTime, loc)));
        setItem(row, SunAtBestTime,
                e.sunAltitudeAtBestTime ? TwilightCell(*e.sunAltitudeAtBestTime, loc)
                                        : Cell(QStringLiteral("–")));
        setItem(row, Skyline, SkylineCell(e, setting, shown));
        setItem(row, Arcl, Cell(Degrees(s.arcl, loc)));
        setItem(
            row, Illuminated,
            Cell(loc.toString(e.illuminatedPercent.value_or(0), 'f', 1) + QStringLiteral(" %")));
        setItem(row, Width, Cell(loc.toString(s.widthYallop, 'f', 2) + u'′'));
        setItem(row, Q, Cell(loc.toString(s.q, 'f', 3)));
        setItem(
            row, Yallop,
            ClassCell(ClassLetter(s.yallop), YallopMeaning(s.yallop), ClassCellColour(s.yallop)));
        setItem(row, V, Cell(loc.toString(s.v, 'f', 2)));
        setItem(row, Odeh,
                ClassCell(ClassLetter(s.odeh), OdehMeaning(s.odeh), ClassCellColour(s.odeh)));
        setItem(row, Marks, ExplainedCell(SightingMarks(e), MarksSpoken(e), Qt::AlignCenter));
    }
    if (today) {
        markToday(row);
    }
}

// Bold, and on light yellow where no class has its colour.
void EveningsTable::markToday(int row) {
    todayRows_ << row;
    QFont bold = font();
    bold.setBold(true);
    for (int column = 0; column < ColumnCount; ++column) {
        if (QTableWidgetItem *cell = item(row, column)) {
            cell->setFont(bold);
            if (column != Yallop && column != Odeh) {
                cell->setBackground(look::LightYellow);
            }
        }
    }
}

// The sentence runs on over the columns of the numbers.
void EveningsTable::showStatus(int row, const QString &sentence, int from) {
    for (int column = Age; column < ColumnCount; ++column) {
        setItem(row, column, Cell(QString()));
    }
    setItem(row, from, Cell(sentence, Qt::AlignLeft));
    setSpan(row, from, 1, ColumnCount - from);
}

void EveningsTable::resizeEvent(QResizeEvent *event) {
    QTableWidget::resizeEvent(event);
    fitHeight(); // the scroll bar for the columns comes and goes with the width
    // On a small screen the rows scroll: the chosen one, today's at first,
    // is kept in view, without moving the columns sideways.
    if (currentRow() >= 0) {
        const int across = horizontalScrollBar()->value();
        scrollTo(model()->index(currentRow(), 0));
        horizontalScrollBar()->setValue(across);
    }
}

// Every row in view, without a scroll bar of its own, where the window has
// the room; on a small screen the rows scroll, a few always in view, so that
// the drawing below keeps its room.
void EveningsTable::fitHeight() {
    int height = horizontalHeader()->sizeHint().height() + 2 * frameWidth();
    if (horizontalHeader()->length() > viewport()->width()) {
        height += horizontalScrollBar()->sizeHint().height();
    }
    int least = height;
    for (int row = 0; row < rowCount(); ++row) {
        height += rowHeight(row);
        if (row < RowsAlwaysInView) {
            least += rowHeight(row);
        }
    }
    fullHeight_ = height;
    setMinimumHeight(least);
    setMaximumHeight(height);
    updateGeometry();
}

QSize EveningsTable::sizeHint() const {
    return {QTableWidget::sizeHint().width(), fullHeight_};
}

} // namespace lunex
