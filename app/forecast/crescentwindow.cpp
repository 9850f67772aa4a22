#include "app/forecast/crescentwindow.h"

#include "app/common/storedplace.h"
#include "app/common/windowparts.h"
#include "app/forecast/eveningstable.h"
#include "app/forecast/mappanel.h"
#include "app/forecast/skypanel.h"
#include "app/log/entrydialog.h"
#include "app/log/logwindow.h"
#include "app/place/placedialog.h"
#include "clock/civiltime.h"
#include "look/colours.h"
#include "look/look.h"
#include "lunar/newmoon.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "texts/datetext.h"
#include "texts/eveningcalendar.h"
#include "texts/placetext.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>

#include <algorithm>
#include <functional>

namespace lunex {
namespace {

using look::PaleGreen;

// Where the folder of the last export is remembered.
const QString ExportFolderKey = QStringLiteral("mentes/mappa");

// The drawing of where to look, as a picture.
const QSize SkyPictureSize(1200, 480);

QFont WindowFont() {
    return look::Font(look::Face::Arial, 10);
}

// The fixed colours of the controls that a desktop theme would paint: the
// table's (with narrow headings, so that every column fits at 1024 px), the
// tabs, the list, the slider and the progress.
QString StyleSheet() {
    return TableStyleSheet(2) +
           QStringLiteral(
               "QTabWidget::pane { border: 1px solid #808080; }"
               "QTabBar::tab { background-color: %1; color: black; border: 1px solid #404040;"
               " padding: 4px 14px; margin-right: 2px; }"
               "QTabBar::tab:selected { background-color: white; }"
               "QTabBar::tab:focus { border: 2px solid black; }"
               "QComboBox { background-color: white; color: black; border: 1px solid #808080;"
               " padding: 2px 8px; min-width: 90px; }"
               "QComboBox:focus { border: 2px solid black; }"
               "QComboBox QAbstractItemView { background-color: white; color: black;"
               " selection-background-color: #1f4e9c; selection-color: white; }"
               "QSlider { border: 2px solid transparent; }"
               "QSlider:focus { border: 2px solid black; }"
               "QProgressBar { background-color: white; border: 1px solid #808080; }"
               "QProgressBar::chunk { background-color: #2f6fbf; }"
               "QScrollArea { background-color: white; border: 1px solid #808080; }"
               "QToolTip { color: black; background-color: %2; border: 1px solid black; }")
               .arg(PaleGreen.name(), look::LightYellow.name());
}

} // namespace

CrescentWindow::CrescentWindow(const AppDirs &dirs, const Clock *clock, const QString &newMoonText)
    : QWidget(nullptr, Qt::Window), dirs_(dirs), clock_(clock ? clock : &systemClock_),
      systemZone_(SystemZone()) {
    setObjectName(QStringLiteral("crescentWindow"));
    setWindowTitle(QStringLiteral("Holdsarló-előrejelzés"));
    setWindowIcon(look::AppIcon());
    setFont(WindowFont());
    look::SetColours(this, look::LightCyan, look::ClassicWindowText);
    place_ = CurrentObserverPlace(dirs_, this);
    skyline_ = CurrentSkyline(dirs_, this);
    zone_ = ZoneOf(place_);

    table_ = new EveningsTable(this);
    views_ = new QTabWidget(this);
    views_->setObjectName(QStringLiteral("views"));
    views_->setAccessibleName(QStringLiteral("Nézetek"));
    skyPanel_ = new SkyPanel(views_);
    mapPanel_ = new MapPanel(views_);
    views_->addTab(skyPanel_, QStringLiteral("Hova &nézzünk?"));
    views_->addTab(mapPanel_, QStringLiteral("&Térkép"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildHeader());
    layout->addWidget(table_);
    auto *legend = new QLabel(ClassLegendText(), this);
    legend->setObjectName(QStringLiteral("classLegend"));
    legend->setWordWrap(true);
    legend->setFont(look::Font(look::Face::Arial, 9));
    layout->addWidget(legend);
    layout->addWidget(views_, 1);
    layout->addLayout(buildExports());
    setStyleSheet(StyleSheet());

    connect(table_, &QTableWidget::itemSelectionChanged, this,
            &CrescentWindow::showSelectedEvening);
    connect(mapPanel_, &MapPanel::drawn, this, [this] { saveMapButton_->setEnabled(true); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    showLunation(firstLunation(newMoonText));
    fitScreen();
    table_->setFocus();
}

CrescentWindow::~CrescentWindow() = default;

// Wide enough for every column of the table where the screen allows.
void CrescentWindow::fitScreen() {
    const QSize wanted(1360, 880);
    const QScreen *screen = this->screen();
    resize(screen ? wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 60)) : wanted);
    look::CentreOnScreen(this);
}

QLayout *CrescentWindow::buildHeader() {
    auto *header = new QHBoxLayout;
    const PlaceLine placeLine = AddPlaceLine(this, header);
    placeText_ = placeLine.text;
    clockText_ = new QLabel(this);
    clockText_->setObjectName(QStringLiteral("clockText"));
    newMoonText_ = new QLabel(this);
    newMoonText_->setObjectName(QStringLiteral("newMoonText"));
    newMoonText_->setFont(look::Font(look::Face::Arial, 10, true));
    auto *previous = AddWindowButton(this, "previousLunation", QStringLiteral("◀ &Előző újhold"),
                                     QStringLiteral("Előző újhold"));
    auto *next = AddWindowButton(this, "nextLunation", QStringLiteral("&Következő újhold ▶"),
                                 QStringLiteral("Következő újhold"));
    previousButton_ = previous;
    nextButton_ = next;
    yearNote_ = new QLabel(this);
    yearNote_->setObjectName(QStringLiteral("yearNote"));
    yearNote_->setWordWrap(true);
    yearNote_->hide();
    connect(placeLine.button, &QPushButton::clicked, this, &CrescentWindow::choosePlace);
    connect(previous, &QPushButton::clicked, this, [this] { showLunation(lunationNumber_ - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showLunation(lunationNumber_ + 1); });

    header->addSpacing(8);
    header->addWidget(clockText_);
    header->addStretch(1);
    header->addWidget(newMoonText_);
    header->addSpacing(8);
    header->addWidget(previous);
    header->addWidget(next);
    auto *rows = new QVBoxLayout;
    rows->addLayout(header);
    rows->addWidget(yearNote_);
    return rows;
}

QLayout *CrescentWindow::buildExports() {
    auto *saveEvenings =
        AddWindowButton(this, "saveEveningsButton", QStringLiteral("Esték mentése (&CSV)…"));
    auto *saveCalendar =
        AddWindowButton(this, "saveCalendarButton", QStringLiteral("&Naptár (iCalendar)…"));
    saveSkyButton_ = AddWindowButton(this, "saveSkyButton", QStringLiteral("&Rajz mentése (PNG)…"));
    saveMapButton_ =
        AddWindowButton(this, "saveMapButton", QStringLiteral("Térkép &mentése (PNG)…"));
    logButton_ = AddWindowButton(this, "logSightingButton", QStringLiteral("Be&jegyzés a naplóba…"),
                                 QStringLiteral("Megfigyelés a naplóba"));
    auto *closeButton = AddWindowButton(this, "closeButton", QStringLiteral("&Bezárás"));
    connect(logButton_, &QPushButton::clicked, this, &CrescentWindow::logSighting);
    connect(saveEvenings, &QPushButton::clicked, this, &CrescentWindow::exportEvenings);
    connect(saveCalendar, &QPushButton::clicked, this, &CrescentWindow::exportCalendar);
    connect(saveSkyButton_, &QPushButton::clicked, this, [this] {
        exportPicture(QStringLiteral("A rajz mentése"), QStringLiteral("hova-nezzunk"),
                      skyPanel_->picture(SkyPictureSize));
    });
    connect(saveMapButton_, &QPushButton::clicked, this, [this] {
        exportPicture(QStringLiteral("A térkép mentése"), QStringLiteral("terkep"),
                      mapPanel_->picture());
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    const QList<QWidget *> order{findChild<QWidget *>(QStringLiteral("placeButton")),
                                 findChild<QWidget *>(QStringLiteral("previousLunation")),
                                 findChild<QWidget *>(QStringLiteral("nextLunation")),
                                 table_,
                                 views_,
                                 static_cast<QWidget *>(skyPanel_->momentSlider()),
                                 skyPanel_->findChild<QWidget *>(QStringLiteral("bestTimeButton")),
                                 static_cast<QWidget *>(mapPanel_->criterionBox()),
                                 static_cast<QWidget *>(mapPanel_->viewBox()),
                                 saveEvenings,
                                 saveCalendar,
                                 saveSkyButton_,
                                 saveMapButton_,
                                 logButton_,
                                 closeButton};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    auto *exports = new QHBoxLayout;
    exports->addWidget(saveEvenings);
    exports->addWidget(saveCalendar);
    exports->addWidget(saveSkyButton_);
    exports->addWidget(saveMapButton_);
    exports->addSpacing(12);
    exports->addWidget(logButton_);
    exports->addStretch(1);
    exports->addWidget(closeButton);
    return exports;
}

void CrescentWindow::showLunation(int number) {
    // The new moons and ΔT serve the forecast's years only; the buttons stop
    // at their ends.
    const int first = FirstForecastLunation(zone_);
    const int last = LastForecastLunation(zone_);
    number = std::clamp(number, first, last);
    previousButton_->setEnabled(number > first);
    nextButton_->setEnabled(number < last);
    if (number != lunationNumber_ || lunation_.evenings.isEmpty()) {
        lunation_ = ComputeLunation(place_.place, number, skyline_);
        lunationNumber_ = number;
    }
    const QLocale locale;
    // A long name is cut short with "…", so that the buttons beside it stay
    // on the screen; the whole of it shows on hovering.
    placeText_->setText(QStringLiteral("%1 (%2)").arg(
        placeText_->fontMetrics().elidedText(place_.name, Qt::ElideRight, 320),
        PlaceText(place_.place, locale)));
    placeText_->setToolTip(place_.name);
    clockText_->setText(QStringLiteral("Idő: %1").arg(ZoneName(zone_)));
    newMoonText_->setText(
        QStringLiteral("Újhold: %1")
            .arg(MinuteText(RoundedToMinute(lunation_.newMoon).toTimeZone(zone_), locale)));
    table_->showLunation(lunation_, {place_.place, zone_, locale, today(), !skyline_.isFlat()});
    {
        // The same row of another lunation or place is another evening all the same.
        const QSignalBlocker quiet(table_);
        selectRow(rowToSelect());
    }
    showSelectedEvening();
}

QDate CrescentWindow::today() const {
    return clock_->now().toTimeZone(zone_).date();
}

// The computed new moon nearest to the typed time; without one, the latest
// new moon whose evenings have not all passed.
int CrescentWindow::firstLunation(const QString &newMoonText) {
    // The main window's field is read on the main window's clock.
    if (const auto typed = ParseDateTimeText(newMoonText, QLocale(), systemZone_)) {
        const int after = LunationAtOrAfter(*typed);
        const int nearest = typed->secsTo(NewMoonUtc(after)) < NewMoonUtc(after - 1).secsTo(*typed)
                                ? after
                                : after - 1;
        // Outside the forecast's years, the nearest lunation within them,
        // and a word why.
        const int shown =
            std::clamp(nearest, FirstForecastLunation(zone_), LastForecastLunation(zone_));
        if (shown != nearest) {
            yearNote_->setText(QStringLiteral("A megadott időponthoz legközelebbi újhold kívül "
                                              "esik az előrejelzés %1–%2. évein: az ezekbe eső "
                                              "legközelebbi látható.")
                                   .arg(FirstServedYear)
                                   .arg(LastServedYear));
            yearNote_->show();
        }
        return shown;
    }
    return CurrentLunation(place_.place, clock_->now(), zone_);
}

// Today's morning or evening when it has a crescent (of the two, the one
// still to come), else the first evening that optical aid shows, else the
// first with a crescent at all.
int CrescentWindow::rowToSelect() const {
    const auto computed = [&](int row) {
        const Evening *day = table_->dayAt(row);
        return day && day->sighting.status == CrescentStatus::Computed;
    };
    int today = -1;
    for (const int row : table_->todayRows()) {
        if (computed(row)) {
            const Evening *day = table_->dayAt(row);
            const bool passed =
                day->sighting.sunEvent && MinuteOf(*day->sighting.sunEvent) < clock_->now();
            if (today < 0 || !passed) {
                today = row;
            }
            if (!passed) {
                break;
            }
        }
    }
    if (today >= 0) {
        return today;
    }
    const QList<Evening> &evenings = lunation_.evenings;
    for (int i = 0; i < evenings.size(); ++i) {
        if (evenings[i].firstOpticalAid) {
            return table_->rowOf(Direction::Evening, i);
        }
    }
    for (int i = 0; i < evenings.size(); ++i) {
        if (computed(table_->rowOf(Direction::Evening, i))) {
            return table_->rowOf(Direction::Evening, i);
        }
    }
    return std::max(0, table_->rowOf(Direction::Evening, 0));
}

const Evening *CrescentWindow::selectedDay() const {
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    return selected.isEmpty() ? nullptr : table_->dayAt(selected.first()->row());
}

int CrescentWindow::selectedEvening() const {
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    for (int i = 0; !selected.isEmpty() && i < lunation_.evenings.size(); ++i) {
        if (table_->rowOf(Direction::Evening, i) == selected.first()->row()) {
            return i;
        }
    }
    return -1;
}

void CrescentWindow::selectDay(Direction direction, int index) {
    selectRow(table_->rowOf(direction, index));
}

void CrescentWindow::selectRow(int row) {
    table_->setCurrentCell(row, EveningsTable::Date);
    table_->selectRow(row);
}

void CrescentWindow::showSelectedEvening() {
    const Evening *day = selectedDay();
    if (day == nullptr) {
        return;
    }
    skyPanel_->showEvening(place_.name, place_.place, *day, zone_, QLocale(), skyline_);
    saveSkyButton_->setEnabled(skyPanel_->view().has_value());
    saveMapButton_->setEnabled(false);
    logButton_->setEnabled(day->sighting.bestTime.has_value());
    mapPanel_->showEvening(day->date, CivilDateOf(*day, place_.place, zone_), day->direction,
                           {place_.name, place_.place.latitude, place_.place.longitude});
}

void CrescentWindow::choosePlace() {
    if (const std::optional<ObserverPlace> chosen = ChooseObserverPlace(this, dirs_, place_)) {
        place_ = *chosen;
        // The dialog stored the skyline with the place, or emptied it.
        skyline_ = CurrentSkyline(dirs_, this);
        zone_ = ZoneOf(place_);
        lunation_ = {};
        showLunation(lunationNumber_);
    }
}

// A new entry of the log at the selected morning's or evening's best time and this place.
EntryDialog *CrescentWindow::logSighting() {
    const Evening *day = selectedDay();
    if (day == nullptr || !day->sighting.bestTime) {
        return nullptr;
    }
    LogWindow *log = OpenLogWindow(dirs_, clock_ == &systemClock_ ? nullptr : clock_);
    LogEntry entry = log->freshEntry();
    entry.moment = MinuteOf(*day->sighting.bestTime).toTimeZone(zone_);
    entry.placeName = place_.name;
    entry.place = place_.place;
    return log->addEntry(Predicted(entry));
}

void CrescentWindow::exportEvenings() {
    if (const std::optional<CsvTarget> target =
            AskCsvTarget(this, QStringLiteral("Az esték mentése"),
                         suggestedPath(QStringLiteral("holdsarlok"), QStringLiteral("csv")))) {
        if (saveEvenings(target->path, target->form)) {
            rememberFolder(target->path);
        }
    }
}

void CrescentWindow::exportCalendar() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("A naptár mentése"),
        suggestedPath(QStringLiteral("holdsarlok"), QStringLiteral("ics")), CalendarFileType());
    if (!path.isEmpty() && saveCalendar(path)) {
        rememberFolder(path);
    }
}

void CrescentWindow::exportPicture(const QString &title, const QString &suggested,
                                   const QImage &picture) {
    const QString path =
        QFileDialog::getSaveFileName(this, title, suggestedPath(suggested, QStringLiteral("png")),
                                     QStringLiteral("PNG-kép (*.png)"));
    if (!path.isEmpty() && savePicture(path, picture)) {
        rememberFolder(path);
    }
}

// In the folder of the last export (the home folder before the first one, or
// when that folder is gone), named after what it holds, the place and the evening.
QString CrescentWindow::suggestedPath(const QString &what, const QString &suffix) const {
    const Evening *day = selectedDay();
    // The date the table shows for it, on the place's clock.
    const QDate evening =
        CivilDateOf(day ? *day : lunation_.evenings.value(0), place_.place, zone_);
    QString folder;
    if (!dirs_.data.isEmpty()) {
        folder = QSettings(AppPath(dirs_.data, SettingsFile), QSettings::IniFormat)
                     .value(ExportFolderKey)
                     .toString();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QStringLiteral("%1/%2-%3-%4.%5")
        .arg(folder, what, FileNamePart(place_.name), evening.toString(Qt::ISODate), suffix);
}

// Without a data folder nothing is remembered: Lunex writes nowhere else. Nor
// through a link in the settings' place: QSettings would save into whatever
// file a link planted in a shared Pic leads to.
void CrescentWindow::rememberFolder(const QString &savedPath) const {
    const QString settings = AppPath(dirs_.data, SettingsFile);
    if (!dirs_.data.isEmpty() && LinkInPlaceOf(settings) == FileProblem::None) {
        QSettings(settings, QSettings::IniFormat)
            .setValue(ExportFolderKey, QFileInfo(savedPath).absolutePath());
    }
}

bool CrescentWindow::saveEvenings(const QString &path, CsvForm form) {
    return saveFile(path, FormatEveningsCsv({lunation_}, place_.name, place_.place, zone_, zone_,
                                            form, DayParts::Both, skyline_)
                              .toUtf8());
}

bool CrescentWindow::saveCalendar(const QString &path) {
    return SaveCalendarExport(this, path,
                              FormatCrescentCalendar({lunation_}, {place_.name, place_.place, zone_,
                                                                   QLocale(), clock_->now()}));
}

bool CrescentWindow::savePicture(const QString &path, const QImage &picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return saveFile(path, bytes);
}

bool CrescentWindow::saveFile(const QString &path, const QByteArray &bytes) {
    return SaveExport(this, path, bytes);
}

} // namespace lunex
