#include "app/year/yearwindow.h"

#include "app/common/storedplace.h"
#include "app/common/windowparts.h"
#include "app/forecast/crescentwindow.h"
#include "app/place/placedialog.h"
#include "charts/visibilitychart.h"
#include "clock/civiltime.h"
#include "look/colours.h"
#include "look/look.h"
#include "store/placefile.h"
#include "texts/eveningcalendar.h"
#include "texts/placetext.h"
#include "texts/yeartexts.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

#include <algorithm>

namespace lunex {
namespace {

// The columns before a sight's cells, and the record mark after them.
enum Column { NewMoon, SightName, FirstCell };
// The sight's cells coloured by their class: Yallop's and Odeh's.
constexpr int YallopCell = FirstCell + 4;
constexpr int OdehCell = FirstCell + 6;

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

YearWindow::YearWindow(const AppDirs &dirs, const Clock *clock)
    : QWidget(nullptr, Qt::Window), dirs_(dirs), clock_(clock ? clock : &systemClock_),
      zone_(SystemZone()) {
    setObjectName(QStringLiteral("yearWindow"));
    setWindowTitle(QStringLiteral("Éves áttekintés"));
    setWindowIcon(look::AppIcon());
    setFont(look::Font(look::Face::Arial, 10));
    look::SetColours(this, look::LightCyan, look::ClassicWindowText);
    place_ = CurrentObserverPlace(dirs_, this);
    zone_ = ZoneOf(place_);

    const QStringList headings = QStringList{QStringLiteral("Újhold"), QStringLiteral("Látható")} +
                                 YearSightHeadings() + QStringList{QStringLiteral("Rekord")};
    table_ = new QTableWidget(0, int(headings.size()), this);
    table_->setObjectName(QStringLiteral("yearTable"));
    table_->setAccessibleName(QStringLiteral("Az év újholdjai"));
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setToolTip(QStringLiteral("Egy sorra duplán kattintva vagy Entert nyomva az "
                                      "újhold estéi a holdsarló-előrejelzésben nyílnak meg."));
    connect(table_, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { openLunation(index.row()); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildHeader());
    layout->addWidget(table_, 1);
    // The terminal's lines, joined: the label wraps them at its own width.
    auto *notes = new QLabel(YearNotes().simplified(), this);
    notes->setWordWrap(true);
    layout->addWidget(notes);
    layout->addLayout(buildExports());
    setStyleSheet(TableStyleSheet());

    showYear(clock_->now().toTimeZone(zone_).date().year());
    const QSize wanted(1000, 820);
    const QScreen *screen = this->screen();
    resize(screen ? wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 60)) : wanted);
    look::CentreOnScreen(this);
    table_->setFocus();
}

YearWindow::~YearWindow() = default;

QLayout *YearWindow::buildHeader() {
    auto *header = new QHBoxLayout;
    const PlaceLine placeLine = AddPlaceLine(this, header);
    placeText_ = placeLine.text;
    yearText_ = new QLabel(this);
    yearText_->setObjectName(QStringLiteral("yearText"));
    yearText_->setFont(look::Font(look::Face::Arial, 12, true));
    previous_ = AddWindowButton(this, "previousYear", QStringLiteral("◀ &Előző év"),
                                QStringLiteral("Előző év"));
    next_ = AddWindowButton(this, "nextYear", QStringLiteral("&Következő év ▶"),
                            QStringLiteral("Következő év"));
    connect(placeLine.button, &QPushButton::clicked, this, &YearWindow::choosePlace);
    connect(previous_, &QPushButton::clicked, this, [this] { showYear(overview_.year - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showYear(overview_.year + 1); });

    header->addStretch(1);
    header->addWidget(previous_);
    header->addWidget(yearText_);
    header->addWidget(next_);
    return header;
}

QLayout *YearWindow::buildExports() {
    auto *saveYear = AddWindowButton(this, "saveYearButton", QStringLiteral("Év mentése (&CSV)…"));
    auto *saveCalendar =
        AddWindowButton(this, "saveCalendarButton", QStringLiteral("&Naptár (iCalendar)…"));
    auto *closeButton = AddWindowButton(this, "closeButton", QStringLiteral("&Bezárás"));
    connect(saveYear, &QPushButton::clicked, this, &YearWindow::exportYear);
    connect(saveCalendar, &QPushButton::clicked, this, &YearWindow::exportCalendar);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto *exports = new QHBoxLayout;
    exports->addWidget(saveYear);
    exports->addWidget(saveCalendar);
    exports->addStretch(1);
    exports->addWidget(closeButton);
    return exports;
}

void YearWindow::showYear(int year) {
    if (year < FirstServedYear || year > LastServedYear) {
        return;
    }
    overview_ = ComputeYearOverview(place_.place, year, zone_);
    // The place's own clock, named as the forecast names it, so that the
    // lunation a row opens shows the same times.
    placeText_->setText(QStringLiteral("%1 (%2); idő: %3")
                            .arg(place_.name, PlaceText(place_.place, QLocale()), ZoneName(zone_)));
    yearText_->setText(QString::number(year));
    previous_->setEnabled(year > FirstServedYear);
    next_->setEnabled(year < LastServedYear);
    showRows();
}

void YearWindow::showRows() {
    const QLocale locale;
    const QList<Shade> yallop = Legend(Criterion::Yallop);
    const QList<Shade> odeh = Legend(Criterion::Odeh);
    const int recordColumn = table_->columnCount() - 1;
    table_->clearSpans();
    table_->setRowCount(int(overview_.lunations.size()) * SightCount);
    QFont bold = table_->font();
    bold.setBold(true);
    for (int i = 0; i < overview_.lunations.size(); ++i) {
        const YearLunation &y = overview_.lunations[i];
        const int first = i * SightCount;
        table_->setItem(first, NewMoon, Cell(YearNewMoonText(y, zone_, locale)));
        table_->setSpan(first, NewMoon, SightCount, 1);
        for (const Sight sight : Sights) {
            const int row = first + int(sight);
            table_->setItem(row, SightName, Cell(SightText(sight)));
            const Evening *day = y.of(sight);
            const QStringList cells = YearSightCells(day, place_.place, zone_, locale);
            for (int c = 0; c < cells.size(); ++c) {
                const bool letter =
                    c == 0 || FirstCell + c == YallopCell || FirstCell + c == OdehCell;
                table_->setItem(row, FirstCell + c,
                                Cell(cells[c], letter ? Qt::AlignLeft : Qt::AlignRight));
            }
            if (day != nullptr) {
                table_->item(row, YallopCell)
                    ->setBackground(yallop[int(day->sighting.yallop)].colour);
                table_->item(row, OdehCell)->setBackground(odeh[int(day->sighting.odeh)].colour);
            }
            const bool record = overview_.isRecord(i, sight);
            table_->setItem(
                row, recordColumn,
                Cell(record ? RecordMark.toString() + QStringLiteral(" rekordesély") : QString()));
            for (int c = SightName; record && c < table_->columnCount(); ++c) {
                QTableWidgetItem *cell = table_->item(row, c);
                cell->setFont(bold);
                if (c != YallopCell && c != OdehCell) {
                    cell->setBackground(look::LightYellow);
                }
            }
        }
    }
    table_->resizeColumnsToContents();
    // The new moons' cells span their rows, which the column's fitting leaves out.
    int newMoonWidth = table_->columnWidth(NewMoon);
    for (int row = 0; row < table_->rowCount(); row += SightCount) {
        newMoonWidth = std::max(
            newMoonWidth,
            table_->fontMetrics().horizontalAdvance(table_->item(row, NewMoon)->text()) + 16);
    }
    table_->setColumnWidth(NewMoon, newMoonWidth);
    table_->resizeRowsToContents();
}

CrescentWindow *YearWindow::openLunation(int row) {
    const int index = LunationOfRow(row);
    if (index < 0 || index >= overview_.lunations.size()) {
        return nullptr;
    }
    if (!forecast_) {
        forecast_ = new CrescentWindow(dirs_, clock_ == &systemClock_ ? nullptr : clock_, {});
        forecast_->setAttribute(Qt::WA_DeleteOnClose);
    }
    forecast_->showLunation(overview_.lunations[index].number);
    forecast_->show();
    forecast_->raise();
    forecast_->activateWindow();
    return forecast_;
}

void YearWindow::choosePlace() {
    if (const std::optional<ObserverPlace> chosen = ChooseObserverPlace(this, dirs_, place_)) {
        place_ = *chosen;
        zone_ = ZoneOf(place_);
        showYear(overview_.year);
    }
}

void YearWindow::exportYear() {
    if (const std::optional<CsvTarget> target = AskCsvTarget(
            this, QStringLiteral("Az év mentése"), suggestedPath(QStringLiteral("csv")))) {
        saveYear(target->path, target->form);
    }
}

void YearWindow::exportCalendar() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("A naptár mentése"),
                                     suggestedPath(QStringLiteral("ics")), CalendarFileType());
    if (!path.isEmpty()) {
        saveCalendar(path);
    }
}

// In the home folder, named after the place and the year.
QString YearWindow::suggestedPath(const QString &suffix) const {
    return QStringLiteral("%1/holdsarlok-%2-%3.%4")
        .arg(QDir::homePath(), FileNamePart(place_.name))
        .arg(overview_.year)
        .arg(suffix);
}

bool YearWindow::saveYear(const QString &path, CsvForm form) {
    return SaveExport(this, path,
                      FormatYearCsv(overview_, place_.name, place_.place, zone_, form).toUtf8());
}

bool YearWindow::saveCalendar(const QString &path) {
    return SaveCalendarExport(
        this, path,
        FormatCrescentCalendar(LunationsOf(overview_),
                               {place_.name, place_.place, zone_, QLocale(), clock_->now()}));
}

} // namespace lunex
