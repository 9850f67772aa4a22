#include "app/log/logwindow.h"

#include "app/common/storedplace.h"
#include "app/common/windowparts.h"
#include "app/log/entrydialog.h"
#include "charts/visibilitychart.h"
#include "clock/civiltime.h"
#include "logbook/logcsv.h"
#include "logbook/logsummary.h"
#include "logbook/oal.h"
#include "look/colours.h"
#include "look/look.h"
#include "lunar/evenings.h"
#include "messages/crescenttexts.h"
#include "messages/logtexts.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "texts/datetext.h"
#include "texts/eveningtexts.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdlib>

namespace lunex {

// The entries of the rows, a table row each, in the file's order; the proxy sorts them.
class LogModel : public QAbstractTableModel {
public:
    enum Column {
        Moment,
        PlaceName,
        Result,
        Aid,
        Sky,
        Observer,
        Age,
        Lag,
        MoonPlace,
        Arcl,
        Width,
        Q,
        Yallop,
        V,
        Odeh,
        Notes,
        ColumnCount
    };

    explicit LogModel(QObject *parent) : QAbstractTableModel(parent) {}

    void setRows(const QList<LogRow> *rows) {
        beginResetModel();
        rows_ = rows;
        entries_.clear();
        for (qsizetype i = 0; i < rows->size(); ++i) {
            if ((*rows)[i].entry) {
                entries_.append(int(i));
            }
        }
        endResetModel();
    }

    int rowIndex(int modelRow) const { return entries_.value(modelRow, -1); }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(entries_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QStringList headings{QStringLiteral("Időpont"),
                                          QStringLiteral("Hely"),
                                          QStringLiteral("Eredmény"),
                                          QStringLiteral("Eszköz"),
                                          QStringLiteral("Égbolt"),
                                          QStringLiteral("Megfigyelő"),
                                          QStringLiteral("Kor"),
                                          QStringLiteral("Késés\n(perc)"),
                                          QStringLiteral("Hold\n(mag., az.)"),
                                          QStringLiteral("ARCL"),
                                          QStringLiteral("W′"),
                                          QStringLiteral("q"),
                                          QStringLiteral("Yallop"),
                                          QStringLiteral("V"),
                                          QStringLiteral("Odeh"),
                                          QStringLiteral("Megjegyzés")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return headings.value(section);
        }
        return {};
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const LogEntry &e = *(*rows_)[entries_[index.row()]].entry;
        const SightingPrediction &p = e.prediction;
        switch (role) {
        case Qt::UserRole:
            return sortKey(e, index.column());
        case Qt::BackgroundRole:
            return index.column() == Yallop ? QVariant(ClassCellColour(p.yallop))
                   : index.column() == Odeh ? QVariant(ClassCellColour(p.odeh))
                                            : QVariant();
        case Qt::ForegroundRole:
            return QColor(look::ClassicWindowText);
        case Qt::TextAlignmentRole: {
            const bool text = index.column() <= Observer || index.column() == Yallop ||
                              index.column() == Odeh || index.column() == Notes;
            return int((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        }
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return cellText(e, index.column());
        default:
            return {};
        }
    }

private:
    static QString cellText(const LogEntry &e, int column) {
        const SightingPrediction &p = e.prediction;
        const QLocale locale;
        switch (column) {
        case Moment:
            return MinuteText(e.moment, locale);
        case PlaceName:
            return e.placeName;
        case Result:
            return SightingResultShortNames[int(e.result)].toString();
        case Aid:
            return e.aidText.isEmpty()
                       ? OpticalAidNames[int(e.aid)].toString()
                       : QStringLiteral("%1 (%2)").arg(OpticalAidNames[int(e.aid)], e.aidText);
        case Sky:
            return e.transparency ? QStringLiteral("%1, %2")
                                        .arg(SkyConditionNames[int(e.sky)])
                                        .arg(*e.transparency)
                                  : SkyConditionNames[int(e.sky)].toString();
        case Observer:
            return e.observer;
        case Age:
            return PredictionAge(p, locale);
        case Lag:
            return p.lagMinutes ? locale.toString(std::lround(*p.lagMinutes)) : QStringLiteral("–");
        case MoonPlace:
            return QStringLiteral("%1°, %2°")
                .arg(locale.toString(p.moon.altitude, 'f', 1),
                     locale.toString(p.moon.azimuth, 'f', 1));
        case Arcl:
            return locale.toString(p.arcl, 'f', 1) + u'°';
        case Width:
            return locale.toString(p.widthYallop, 'f', 2) + u'′';
        case Q:
            return locale.toString(p.q, 'f', 3);
        case Yallop:
            return QStringLiteral("%1 – %2")
                .arg(ClassLetter(p.yallop))
                .arg(YallopMeaning(p.yallop));
        case V:
            return locale.toString(p.v, 'f', 2);
        case Odeh:
            return QStringLiteral("%1 – %2").arg(ClassLetter(p.odeh)).arg(OdehMeaning(p.odeh));
        case Notes:
            return QString(e.notes).replace(u'\n', u' ');
        }
        return {};
    }

    static QVariant sortKey(const LogEntry &e, int column) {
        const SightingPrediction &p = e.prediction;
        switch (column) {
        case Moment:
            return e.moment.toMSecsSinceEpoch();
        case Result:
            return int(e.result);
        case Aid:
            return int(e.aid);
        case Sky:
            return int(e.sky);
        case Age:
            return std::abs(p.ageMinutes);
        case Lag:
            return p.lagMinutes.value_or(-1e9);
        case MoonPlace:
            return p.moon.altitude;
        case Arcl:
            return p.arcl;
        case Width:
            return p.widthYallop;
        case Q:
        case Yallop:
            return p.q;
        case V:
        case Odeh:
            return p.v;
        case PlaceName:
            return e.placeName.toLower();
        case Observer:
            return e.observer.toLower();
        case Notes:
            return e.notes.toLower();
        }
        return {};
    }

    const QList<LogRow> *rows_ = nullptr;
    QList<int> entries_;
};

namespace {

QString RecordLine(const QString &caption, const std::optional<LogEntry> &entry) {
    if (!entry) {
        return QStringLiteral("%1: –").arg(caption);
    }
    const QLocale locale;
    return QStringLiteral("%1: %2 – %3, %4")
        .arg(caption, PredictionAge(entry->prediction, locale), MinuteText(entry->moment, locale),
             entry->placeName.toHtmlEscaped());
}

} // namespace

LogWindow::LogWindow(const AppDirs &dirs, const Clock *clock)
    : QWidget(nullptr, Qt::Window), dirs_(dirs), clock_(clock ? clock : &systemClock_) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(QStringLiteral("Megfigyelési napló"));
    setWindowIcon(look::AppIcon());
    setFont(look::Font(look::Face::Arial, 10));
    look::SetColours(this, look::LightCyan, look::ClassicWindowText);

    model_ = new LogModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("logTable"));
    table_->setAccessibleName(QStringLiteral("Bejegyzések"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSortIndicator(LogModel::Moment, Qt::DescendingOrder);
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { editEntry(index.row()); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addWidget(buildOverview());
    layout->addLayout(buildButtons());
    setStyleSheet(TableStyleSheet());

    const LogReading reading = LoadObservationLog(dirs_.data);
    rows_ = reading.rows;
    digest_ = reading.digest;
    refresh();
    // Column widths from a sample: measuring ten thousand rows would take seconds.
    table_->horizontalHeader()->setResizeContentsPrecision(50);
    table_->horizontalHeader()->setSectionResizeMode(LogModel::Notes, QHeaderView::Stretch);
    fitColumns();
    resize(1280, 760);
    look::CentreOnScreen(this);
    if (!reading.message.isEmpty()) {
        // Once, when the window is there to carry it.
        QTimer::singleShot(0, this, [this, message = reading.message] {
            look::ShowMessageBox(this, message, QMessageBox::Warning);
        });
    }
}

LogWindow::~LogWindow() = default;

QWidget *LogWindow::buildOverview() {
    auto *overview = new QWidget(this);
    records_ = new QLabel(overview);
    records_->setObjectName(QStringLiteral("records"));
    records_->setTextFormat(Qt::RichText);
    records_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summary_ = new QTableWidget(10, 3, overview);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setAccessibleName(QStringLiteral("Látta és nem látta osztályonként"));
    summary_->setHorizontalHeaderLabels(
        {QStringLiteral("Osztály"), QStringLiteral("Látta"), QStringLiteral("Nem látta")});
    summary_->verticalHeader()->hide();
    summary_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    summary_->setTabKeyNavigation(false);
    summary_->setMinimumWidth(340);
    auto *layout = new QHBoxLayout(overview);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(records_, 1);
    layout->addWidget(summary_);
    overview->setMaximumHeight(260);
    return overview;
}

QLayout *LogWindow::buildButtons() {
    auto *add = AddWindowButton(this, "addButton", QStringLiteral("Ú&j bejegyzés…"));
    auto *edit = AddWindowButton(this, "editButton", QStringLiteral("&Szerkesztés…"));
    auto *remove = AddWindowButton(this, "deleteButton", QStringLiteral("&Törlés"));
    auto *csv = AddWindowButton(this, "saveCsvButton", QStringLiteral("Mentés (&CSV)…"));
    auto *oalOut = AddWindowButton(this, "exportOalButton", QStringLiteral("&OAL-export…"));
    auto *oalIn = AddWindowButton(this, "importOalButton", QStringLiteral("OAL-&import…"));
    auto *close = AddWindowButton(this, "closeButton", QStringLiteral("&Bezárás"));
    const QString oalFiles = QStringLiteral("OpenAstronomyLog 2.1 XML (*.xml)");
    connect(oalOut, &QPushButton::clicked, this, [this, oalFiles] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("A napló exportálása"),
                                         QDir::homePath() + QStringLiteral("/naplo.xml"), oalFiles);
        if (!path.isEmpty()) {
            exportOal(path);
        }
    });
    connect(oalIn, &QPushButton::clicked, this, [this, oalFiles] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Napló importálása"),
                                                          QDir::homePath(), oalFiles);
        if (!path.isEmpty()) {
            importOal(path);
        }
    });
    connect(add, &QPushButton::clicked, this, [this] { addEntry(freshEntry()); });
    connect(edit, &QPushButton::clicked, this, [this] { editEntry(currentTableRow()); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteEntry(currentTableRow()); });
    connect(csv, &QPushButton::clicked, this, &LogWindow::exportCsvChosen);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addSpacing(12);
    buttons->addWidget(csv);
    buttons->addWidget(oalOut);
    buttons->addWidget(oalIn);
    buttons->addStretch(1);
    buttons->addWidget(close);
    return buttons;
}

void LogWindow::refresh() {
    model_->setRows(&rows_);
    fitColumns();
    showOverview();
}

// Each column at least as wide as its cells and heading ask: a log opened
// empty had its columns sized to the headings alone, and the first entries
// then showed cut short ("7 Feb 202…"). A column the user widened stays so.
void LogWindow::fitColumns() {
    QHeaderView *header = table_->horizontalHeader();
    for (int column = 0; column < LogModel::Notes; ++column) {
        const int wanted =
            std::max(static_cast<QAbstractItemView *>(table_)->sizeHintForColumn(column),
                     header->sectionSizeHint(column));
        if (table_->columnWidth(column) < wanted) {
            table_->setColumnWidth(column, wanted);
        }
    }
}

void LogWindow::showOverview() {
    const ObserverRecords records = FindRecords(rows_);
    records_->setText(
        QStringLiteral("<b>Rekordok</b><br>%1<br>%2<br>%3<br>%4")
            .arg(RecordLine(QStringLiteral("Legfiatalabb, szabad szemmel"), records.youngestByEye),
                 RecordLine(QStringLiteral("Legidősebb, szabad szemmel"), records.oldestByEye),
                 RecordLine(QStringLiteral("Legfiatalabb, optikai eszközzel"),
                            records.youngestWithAid),
                 RecordLine(QStringLiteral("Legidősebb, optikai eszközzel"),
                            records.oldestWithAid)));
    const ClassSummary summary = SummarizeByClass(rows_);
    const auto show = [this](int row, const QString &name, const QColor &colour,
                             const SeenTally &tally) {
        auto *cell = new QTableWidgetItem(name);
        cell->setBackground(colour);
        cell->setForeground(look::ClassicWindowText);
        summary_->setItem(row, 0, cell);
        summary_->setItem(row, 1, new QTableWidgetItem(QString::number(tally.seen)));
        summary_->setItem(row, 2, new QTableWidgetItem(QString::number(tally.notSeen)));
    };
    for (int c = 0; c < 6; ++c) {
        show(c, QStringLiteral("Yallop %1").arg(ClassLetter(YallopClass(c))),
             ClassCellColour(YallopClass(c)), summary.yallop[c]);
    }
    for (int z = 0; z < 4; ++z) {
        show(6 + z, QStringLiteral("Odeh %1").arg(ClassLetter(OdehZone(z))),
             ClassCellColour(OdehZone(z)), summary.odeh[z]);
    }
    summary_->resizeColumnsToContents();
}

LogEntry LogWindow::freshEntry() const {
    LogEntry e;
    const QDateTime now = clock_->now();
    const ObserverPlace place = CurrentObserverPlace(dirs_, const_cast<LogWindow *>(this));
    e.moment = RoundedToMinute(now).toTimeZone(ZoneOf(place));
    e.placeName = place.name;
    e.place = place.place;
    for (auto row = rows_.crbegin(); row != rows_.crend(); ++row) {
        if (row->entry) {
            e.observer = row->entry->observer;
            break;
        }
    }
    return e;
}

int LogWindow::rowIndex(int tableRow) const {
    return model_->rowIndex(sorted_->mapToSource(sorted_->index(tableRow, 0)).row());
}

int LogWindow::currentTableRow() const {
    return table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
}

// OK saves the entry; a save that fails leaves the dialog open with it, to
// be saved again.
EntryDialog *LogWindow::addEntry(const LogEntry &start) {
    auto *dialog = new EntryDialog(dirs_, start, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setSaver([this](const LogEntry &entry) {
        QList<LogRow> rows = rows_;
        rows.append({entry, {}});
        return store(rows);
    });
    dialog->open();
    return dialog;
}

EntryDialog *LogWindow::editEntry(int tableRow) {
    const int index = rowIndex(tableRow);
    if (index < 0) {
        return nullptr;
    }
    auto *dialog = new EntryDialog(dirs_, *rows_[index].entry, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog is modal: the rows stay as they are while it is open.
    dialog->setSaver([this, index](const LogEntry &entry) {
        QList<LogRow> rows = rows_;
        rows[index].entry = entry;
        return store(rows);
    });
    dialog->open();
    return dialog;
}

bool LogWindow::deleteEntry(int tableRow) {
    const int index = rowIndex(tableRow);
    if (index < 0) {
        return false;
    }
    const LogEntry &e = *rows_[index].entry;
    QMessageBox ask(QMessageBox::Question, windowTitle(),
                    QStringLiteral("Törli a bejegyzést (%1, %2)?")
                        .arg(MinuteText(e.moment, QLocale()), e.placeName),
                    QMessageBox::NoButton, this);
    QPushButton *yes = ask.addButton(QStringLiteral("Törlés"), QMessageBox::YesRole);
    ask.addButton(QStringLiteral("Mégse"), QMessageBox::NoRole);
    ask.setDefaultButton(yes);
    ask.exec();
    if (ask.clickedButton() != yes) {
        return false;
    }
    QList<LogRow> rows = rows_;
    rows.removeAt(index);
    return store(rows);
}

// The rows become the window's only once they are on the disk: a failed save
// leaves the log as the file has it. Another Lunex may have saved the log
// since it was read: its entries are kept, and the window shows them too.
bool LogWindow::store(const QList<LogRow> &changed) {
    LogReading read;
    read.rows = rows_;
    read.digest = digest_;
    LogSaving saving = SaveLogChanges(dirs_.data, read, changed);
    if (!saving.saved) {
        look::ShowMessageBox(this, saving.message, QMessageBox::Critical);
        return false;
    }
    rows_ = std::move(saving.log.rows);
    digest_ = saving.log.digest;
    refresh();
    return true;
}

void LogWindow::exportCsvChosen() {
    if (const auto target = AskCsvTarget(this, QStringLiteral("A napló mentése"),
                                         QDir::homePath() + QStringLiteral("/naplo.csv"))) {
        exportCsv(target->path, target->form);
    }
}

// In the order the table shows them.
QList<LogEntry> LogWindow::shownEntries() const {
    QList<LogEntry> entries;
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        entries.append(*rows_[rowIndex(row)].entry);
    }
    return entries;
}

bool LogWindow::exportCsv(const QString &path, CsvForm form) {
    return saveFile(path, FormatLogCsv(shownEntries(), form).toUtf8());
}

bool LogWindow::exportOal(const QString &path) {
    return saveFile(path, FormatOal(shownEntries()));
}

bool LogWindow::saveFile(const QString &path, const QByteArray &bytes) {
    return SaveExport(this, path, bytes);
}

// The file is read here; its observations are read and predicted on another
// thread, with a progress dialog whose "Mégse" stops it: nothing is added then.
bool LogWindow::importOal(const QString &path) {
    const ReadResult read = ReadLeadingBytes(path, LogFileLimit);
    const QString name = QFileInfo(path).fileName();
    if (!read.bytes || read.cut) {
        look::ShowMessageBox(
            this,
            read.cut ? LogImportFailureMessage(name, LogTooLargeReason(LogFileLimit >> 20))
                     : ReadFailureMessage(name, read.problem),
            QMessageBox::Critical);
        return false;
    }
    // Moments on the stored place's clock where they match it.
    const QTimeZone zone = ZoneOf(CurrentObserverPlace(dirs_, this));
    auto *progress = new QProgressDialog(QStringLiteral("Az előrejelzések számítása…"),
                                         QStringLiteral("Mégse"), 0, 0, this);
    progress->setObjectName(QStringLiteral("importProgress"));
    progress->setWindowTitle(QStringLiteral("OAL-import"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300);
    auto *watcher = new QFutureWatcher<OalReading>(progress);
    connect(watcher, &QFutureWatcherBase::progressRangeChanged, progress,
            &QProgressDialog::setRange);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, progress,
            &QProgressDialog::setValue);
    connect(progress, &QProgressDialog::canceled, watcher, &QFutureWatcherBase::cancel);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, progress, name] {
        const bool cancelled = watcher->isCanceled() || watcher->future().resultCount() == 0 ||
                               watcher->result().cancelled;
        const OalReading reading = cancelled ? OalReading{} : watcher->result();
        progress->reset();
        progress->deleteLater();
        if (cancelled) {
            look::ShowMessageBox(this, LogImportCancelledMessage(), QMessageBox::Information);
        }
        emit imported(cancelled ? 0 : addImported(name, reading));
    });
    watcher->setFuture(QtConcurrent::run(
        [](QPromise<OalReading> &promise, const QByteArray &bytes, const QTimeZone &zone) {
            promise.addResult(ReadOal(bytes, zone, [&promise](qsizetype done, qsizetype total) {
                promise.setProgressRange(0, int(total));
                promise.setProgressValue(int(done));
                return !promise.isCanceled();
            }));
        },
        *read.bytes, zone));
    return true;
}

int LogWindow::addImported(const QString &name, const OalReading &reading) {
    if (!reading.error.isEmpty()) {
        look::ShowMessageBox(this, LogImportFailureMessage(name, reading.error),
                             QMessageBox::Critical);
        return 0;
    }
    const QList<LogEntry> fresh = NewEntries(rows_, reading.entries);
    QList<LogRow> rows = rows_;
    for (const LogEntry &e : fresh) {
        rows.append({e, {}});
    }
    if (!fresh.isEmpty() && !store(rows)) {
        return 0;
    }
    QList<std::pair<QString, int>> skipped;
    for (int fault = 1; fault < LogEntryFaultCount; ++fault) {
        if (reading.skipped[fault] > 0) {
            skipped.append({LogEntryFaultReasons[fault - 1].toString(), reading.skipped[fault]});
        }
    }
    look::ShowMessageBox(
        this,
        LogImportedMessage(int(fresh.size()), int(reading.entries.size() - fresh.size()), skipped),
        QMessageBox::Information);
    return int(fresh.size());
}

LogWindow *OpenLogWindow(const AppDirs &dirs, const Clock *clock) {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<LogWindow *>(widget)) {
            window->show();
            window->raise();
            window->activateWindow();
            return window;
        }
    }
    auto *window = new LogWindow(dirs, clock);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->activateWindow();
    return window;
}

} // namespace lunex
