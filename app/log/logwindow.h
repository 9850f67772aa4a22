#pragma once

#include "evaluation/evaluation.h"
#include "logbook/oal.h"
#include "store/appdirs.h"
#include "store/logfile.h"
#include "texts/eveningcsv.h"

#include <QWidget>

class QLabel;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;

namespace lunex {

class EntryDialog;
class LogModel;

// "Megfigyelési napló": the observer's entries, newest first and sortable by
// any column, each result beside its prediction; the observer's records and
// the criteria's classes as the log saw them. Every change is saved at once.
class LogWindow : public QWidget {
    Q_OBJECT
public:
    // `clock` says what now is (the system's without one).
    LogWindow(const AppDirs &dirs, const Clock *clock);
    ~LogWindow() override;

    const QList<LogRow> &rows() const { return rows_; }
    QTableView *table() const { return table_; }
    QLabel *recordsText() const { return records_; }
    QTableWidget *summaryTable() const { return summary_; }

    // A new entry: now, at the stored place, by the last entry's observer.
    LogEntry freshEntry() const;
    // Opens the dialog for a new entry that starts as `start`, or for the
    // entry in the table's row; OK stores it. The dialog is returned open.
    EntryDialog *addEntry(const LogEntry &start);
    EntryDialog *editEntry(int tableRow);
    // Asks first; true when the entry was deleted and the log saved.
    bool deleteEntry(int tableRow);

    // The table's row of the entry: the index in rows().
    int rowIndex(int tableRow) const;

    // The exports to a file the user named, and the import of an
    // OpenAstronomyLog file: failures are reported in a message.
    bool exportCsv(const QString &path, CsvForm form);
    bool exportOal(const QString &path);
    // Starts the import, unless the file cannot be read (said in a message);
    // imported() tells how many entries it added, those the log holds
    // already left out. The predictions are computed on another thread
    // meanwhile, behind a progress dialog that can cancel it.
    bool importOal(const QString &path);

signals:
    void imported(int added);

private:
    int addImported(const QString &name, const OalReading &reading);
    QLayout *buildButtons();
    QWidget *buildOverview();
    bool store(const QList<LogRow> &changed);
    void refresh();
    void fitColumns();
    void showOverview();
    int currentTableRow() const;
    void exportCsvChosen();
    QList<LogEntry> shownEntries() const;
    bool saveFile(const QString &path, const QByteArray &bytes);

    AppDirs dirs_;
    SystemClock systemClock_;
    const Clock *clock_;
    QList<LogRow> rows_;
    QByteArray digest_; // of the file rows_ were read from or saved as
    LogModel *model_ = nullptr;
    QSortFilterProxyModel *sorted_ = nullptr;
    QTableView *table_ = nullptr;
    QLabel *records_ = nullptr;
    QTableWidget *summary_ = nullptr;
};

// The log window, the one already open or a new one.
LogWindow *OpenLogWindow(const AppDirs &dirs, const Clock *clock);

} // namespace lunex
