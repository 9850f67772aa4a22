// The window "Megfigyelési napló": the entries it lists and how it sorts
// them, adding, editing and deleting as a user does, the records and the
// summary, and the forecast's button that opens a new entry.

#include "app/forecast/crescentwindow.h"
#include "app/log/entrydialog.h"
#include "app/log/logwindow.h"
#include "clock/civiltime.h"
#include "evalfakes.h"
#include "fakes.h"
#include "lunar/evenings.h"
#include "messageboxes.h"
#include "store/logfile.h"
#include "store/placefile.h"
#include "windowcleanup.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace lunex;
using namespace lunex::test;

namespace {

const QTimeZone Budapest("Europe/Budapest");
const Place Szeged{46.25, 20.14, 75};

LogEntry EntryAt(const QDateTime &moment, SightingResult result) {
    LogEntry e;
    e.moment = moment;
    e.placeName = QStringLiteral("Szeged");
    e.place = Szeged;
    e.result = result;
    e.observer = QStringLiteral("Kovács Éva");
    return Predicted(e);
}

// Answers the next question box with the button of that caption.
void AnswerNextQuestion(const QString &caption) {
    QTimer::singleShot(50, [caption] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        QFAIL("no such button");
    });
}

} // namespace

class TestLogWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppDir> dir_;
    FakeClock clock_;

    void writeLog(const QList<LogEntry> &entries) {
        QList<LogRow> rows;
        for (const LogEntry &e : entries) {
            rows.append({e, {}});
        }
        QCOMPARE(SaveObservationLog(dir_->path(), rows), FileProblem::None);
    }
    QList<LogEntry> stored() const {
        QList<LogEntry> entries;
        for (const LogRow &row : LoadObservationLog(dir_->path()).rows) {
            if (row.entry) {
                entries.append(*row.entry);
            }
        }
        return entries;
    }

private slots:
    void init() {
        dir_ = std::make_unique<AppDir>();
        clock_.at = QDateTime(QDate(2027, 3, 10), QTime(18, 0), Budapest);
    }
    void cleanup() { DeleteWindows(); }

    void listsNewestFirstAndSortsByAnyColumn_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("expected"); // the entries' days, top to bottom
        QTest::newRow("opened: newest first") << -1 << 0 << QList<int>{11, 10, 9};
        QTest::newRow("moment, oldest first")
            << 0 << int(Qt::AscendingOrder) << QList<int>{9, 10, 11};
        QTest::newRow("q, highest first")
            << 11 << int(Qt::DescendingOrder) << QList<int>{11, 10, 9};
        QTest::newRow("result") << 2 << int(Qt::AscendingOrder) << QList<int>{10, 11, 9};
    }
    void listsNewestFirstAndSortsByAnyColumn() {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QList<int>, expected);
        writeLog(
            {EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest), SightingResult::NotSeen),
             EntryAt(QDateTime(QDate(2027, 3, 11), QTime(18, 30), Budapest),
                     SightingResult::AidThenNakedEye),
             EntryAt(QDateTime(QDate(2027, 3, 10), QTime(18, 20), Budapest),
                     SightingResult::NakedEye)});
        LogWindow window(dir_->portable(), &clock_);
        if (column >= 0) {
            window.table()->sortByColumn(column, Qt::SortOrder(order));
        }
        QList<int> days;
        for (int row = 0; row < window.table()->model()->rowCount(); ++row) {
            days << window.rows()[window.rowIndex(row)].entry->moment.date().day();
        }
        QCOMPARE(days, expected);
    }

    // From the forecast: the selected evening's best time at its place; OK
    // stores it with its prediction, and the next entry remembers the observer.
    void forecastOpensAnEntryAtTheBestTime() {
        CrescentWindow forecast(dir_->portable(), &clock_, QString());
        const int evening = forecast.selectedEvening();
        const Evening &e = forecast.lunation().evenings[evening];
        QVERIFY(e.sighting.bestTime);
        EntryDialog *dialog = forecast.logSighting();
        QVERIFY(dialog);
        QCOMPARE(dialog->momentEdit()->dateTime().time(),
                 MinuteOf(*e.sighting.bestTime).toTimeZone(SystemZone()).time());
        dialog->resultBox()->setCurrentIndex(int(SightingResult::AidThenNakedEye));
        dialog->observerField()->setText(QStringLiteral("Kovács Éva"));
        dialog->notesField()->setPlainText(QStringLiteral("vékony sarló\nfelhők között"));
        dialog->accept();

        const QList<LogEntry> entries = stored();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].moment, MinuteOf(*e.sighting.bestTime));
        QCOMPARE(entries[0].placeName, forecast.place().name);
        QCOMPARE(entries[0].result, SightingResult::AidThenNakedEye);
        QCOMPARE(entries[0].notes, QStringLiteral("vékony sarló\nfelhők között"));
        QCOMPARE(entries[0].prediction.yallop, e.sighting.yallop);
        QCOMPARE(entries[0].prediction.newMoon, forecast.lunation().newMoon);

        LogWindow *log = OpenLogWindow(dir_->portable(), &clock_);
        QCOMPARE(log->table()->model()->rowCount(), 1);
        QCOMPARE(log->freshEntry().observer, QStringLiteral("Kovács Éva"));
        QVERIFY(log->recordsText()->text().contains(forecast.place().name));
    }

    void editingRecomputesThePrediction() {
        const LogEntry first =
            EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest), SightingResult::NotSeen);
        writeLog({first});
        LogWindow window(dir_->portable(), &clock_);
        EntryDialog *dialog = window.editEntry(0);
        QVERIFY(dialog);
        const QString before = dialog->predictionText()->text();
        dialog->momentEdit()->setDateTime(QDateTime(QDate(2027, 3, 10), QTime(18, 25)));
        QVERIFY(dialog->predictionText()->text() != before);
        dialog->accept();
        const QList<LogEntry> entries = stored();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].moment, QDateTime(QDate(2027, 3, 10), QTime(18, 25), Budapest));
        QCOMPARE(entries[0].prediction.ageMinutes, first.prediction.ageMinutes + 24 * 60 + 20);
    }

    void deletingAsksFirst_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("no") << QStringLiteral("Mégse") << 2;
        QTest::newRow("yes") << QStringLiteral("Törlés") << 1;
    }
    void deletingAsksFirst() {
        QFETCH(QString, answer);
        QFETCH(int, left);
        writeLog(
            {EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest), SightingResult::NotSeen),
             EntryAt(QDateTime(QDate(2027, 3, 10), QTime(18, 5), Budapest),
                     SightingResult::NakedEye)});
        LogWindow window(dir_->portable(), &clock_);
        AnswerNextQuestion(answer);
        window.deleteEntry(0);
        QCOMPARE(stored().size(), left);
        QCOMPARE(window.table()->model()->rowCount(), left);
        // The newest went, if any did.
        QCOMPARE(stored().constLast().moment.date().day(), left == 1 ? 9 : 10);
    }

    // An unreadable row stays where it was through the window's saves.
    void keepsAnUnreadableRowThroughChanges() {
        writeLog({EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest),
                          SightingResult::NotSeen)});
        QByteArray bytes = dir_->read(QStringLiteral("naplo.csv"));
        bytes += "nem bejegyz\xE9s\r\n";
        dir_->write(QStringLiteral("naplo.csv"), bytes);
        MessageBoxes boxes;
        LogWindow window(dir_->portable(), &clock_);
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY(boxes.last().text.contains(u"3."));
        QCOMPARE(window.table()->model()->rowCount(), 1);
        EntryDialog *dialog = window.addEntry(window.freshEntry());
        dialog->accept();
        QVERIFY(dir_->read(QStringLiteral("naplo.csv")).contains("\r\nnem bejegyz\xE9s\r\n"));
        QCOMPARE(stored().size(), 2);
    }

    // Two windows open on one log, as two copies of Lunex: the second's save
    // keeps what the first saved meanwhile.
    void secondWindowKeepsTheFirstsEntries_data() {
        QTest::addColumn<QString>("change");  // the second window's
        QTest::addColumn<QList<int>>("days"); // of the stored entries, sorted
        QTest::newRow("adds") << "add" << QList<int>{9, 10, 11};
        QTest::newRow("deletes the old one") << "delete" << QList<int>{10};
        QTest::newRow("edits the old one") << "edit" << QList<int>{8, 10};
    }
    void secondWindowKeepsTheFirstsEntries() {
        QFETCH(QString, change);
        QFETCH(QList<int>, days);
        const auto at = [](int day) {
            return QDateTime(QDate(2027, 3, day), QTime(18, 5), Budapest);
        };
        writeLog({EntryAt(at(9), SightingResult::NotSeen)});
        LogWindow first(dir_->portable(), &clock_);
        LogWindow second(dir_->portable(), &clock_);
        first.addEntry(EntryAt(at(10), SightingResult::NakedEye))->accept();
        if (change == u"add") {
            second.addEntry(EntryAt(at(11), SightingResult::NakedEye))->accept();
        } else if (change == u"delete") {
            AnswerNextQuestion(QStringLiteral("Törlés"));
            QVERIFY(second.deleteEntry(0));
        } else {
            EntryDialog *dialog = second.editEntry(0);
            dialog->momentEdit()->setDateTime(QDateTime(QDate(2027, 3, 8), QTime(18, 5)));
            dialog->accept();
        }
        QList<int> stored;
        for (const LogEntry &e : this->stored()) {
            stored << e.moment.date().day();
        }
        std::sort(stored.begin(), stored.end());
        QCOMPARE(stored, days);
        // The second window shows the first's entry too.
        QCOMPARE(second.table()->model()->rowCount(), days.size());
    }

    // A new entry is at the stored place, on that place's own clock.
    void freshEntryOnThePlacesClock() {
        QCOMPARE(SaveObserverPlace(
                     dir_->path(),
                     {QStringLiteral("Tokió"), {35.68, 139.69, 40}, QStringLiteral("Asia/Tokyo")}),
                 FileProblem::None);
        LogWindow window(dir_->portable(), &clock_);
        const LogEntry e = window.freshEntry();
        QCOMPARE(e.placeName, QStringLiteral("Tokió"));
        QCOMPARE(e.moment, clock_.at);
        QCOMPARE(e.moment.timeZone(), QTimeZone("Asia/Tokyo"));
        EntryDialog *dialog = window.addEntry(e);
        QCOMPARE(dialog->momentEdit()->dateTime().time(), QTime(2, 0)); // 18:00 in Budapest
        dialog->accept();
        QCOMPARE(stored().constFirst().moment.timeZone(), QTimeZone("Asia/Tokyo"));
    }

    void summaryCountsByClass() {
        writeLog(
            {EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest), SightingResult::NotSeen),
             EntryAt(QDateTime(QDate(2027, 3, 10), QTime(18, 20), Budapest),
                     SightingResult::NakedEye)});
        LogWindow window(dir_->portable(), &clock_);
        int seen = 0, notSeen = 0;
        for (int row = 0; row < window.summaryTable()->rowCount(); ++row) {
            seen += window.summaryTable()->item(row, 1)->text().toInt();
            notSeen += window.summaryTable()->item(row, 2)->text().toInt();
        }
        QCOMPARE(seen, 2); // once by Yallop's class, once by Odeh's zone
        QCOMPARE(notSeen, 2);
    }
};

QTEST_MAIN(TestLogWindow)
#include "tst_logwindow.moc"
