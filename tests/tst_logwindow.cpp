// The window "Megfigyelési napló": the entries it lists and how it sorts
// them, adding, editing and deleting as a user does, the records and the
// summary, and the forecast's button that opens a new entry.

#include "app/forecast/crescentwindow.h"
#include "app/log/entrydialog.h"
#include "app/log/logwindow.h"
#include "clock/civiltime.h"
#include "evalfakes.h"
#include "fakes.h"
#include "logbook/oal.h"
#include "lunar/evenings.h"
#include "lunar/newmoon.h"
#include "messageboxes.h"
#include "store/logfile.h"
#include "store/placefile.h"
#include "windowcleanup.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
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

    // Every caption's underlined letter leads to its field with Alt, and
    // none shows its '&'.
    void captionsLeadToTheirFields_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("field"); // its object name
        QTest::newRow("Alt+I, the moment") << int(Qt::Key_I) << "moment";
        QTest::newRow("Alt+E, the result") << int(Qt::Key_E) << "result";
        QTest::newRow("Alt+O, the optical aid") << int(Qt::Key_O) << "aid";
        QTest::newRow("Alt+G, the sky") << int(Qt::Key_G) << "sky";
        QTest::newRow("Alt+T, the transparency") << int(Qt::Key_T) << "transparency";
        QTest::newRow("Alt+M, the observer") << int(Qt::Key_M) << "observer";
        QTest::newRow("Alt+Z, the notes") << int(Qt::Key_Z) << "notes";
    }
    void captionsLeadToTheirFields() {
        QFETCH(int, key);
        QFETCH(QString, field);
        LogWindow window(dir_->portable(), &clock_);
        EntryDialog *dialog = window.addEntry(window.freshEntry());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (const QLabel *label : dialog->findChildren<QLabel *>()) {
            QVERIFY2(!label->text().contains(u'&') || label->buddy(), qPrintable(label->text()));
        }
        dialog->findChild<QWidget *>(QStringLiteral("placeButton"))->setFocus();
        QTest::keyClick(dialog, Qt::Key(key), Qt::AltModifier);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        QWidget *expected = dialog->findChild<QWidget *>(field);
        QVERIFY2(focused == expected || expected->isAncestorOf(focused),
                 qPrintable(focused->objectName()));
    }

    // No class for a moment the criteria do not speak of: the Moon below the
    // horizon, or a day that is no crescent's evening or morning.
    void predictionOnlyForACrescent_data() {
        QTest::addColumn<int>("hoursAfterBest"); // from the lunation's first crescent evening
        QTest::addColumn<int>("daysAfter");
        QTest::addColumn<QString>("words");
        QTest::newRow("at the best time") << 0 << 0 << "Yallop";
        QTest::newRow("five hours later, the Moon set") << 5 << 0 << "horizont alatt";
        QTest::newRow("nine days later") << 0 << 9 << "nem holdsarlós este";
        QTest::newRow("the morning nine days later") << -12 << 9 << "nem holdsarlós reggel";
    }
    void predictionOnlyForACrescent() {
        QFETCH(int, hoursAfterBest);
        QFETCH(int, daysAfter);
        QFETCH(QString, words);
        const Lunation lunation = ComputeLunation(
            Szeged, LunationAtOrAfter(QDateTime(QDate(2027, 3, 1), QTime(0, 0), Budapest)));
        const auto evening =
            std::find_if(lunation.evenings.begin(), lunation.evenings.end(),
                         [](const Evening &e) { return bool(e.sighting.bestTime); });
        QVERIFY(evening != lunation.evenings.end());
        const QDateTime best = MinuteOf(*evening->sighting.bestTime).toTimeZone(Budapest);
        LogWindow window(dir_->portable(), &clock_);
        EntryDialog *dialog = window.addEntry(EntryAt(best, SightingResult::NotSeen));
        const QDateTime moment = best.addSecs(hoursAfterBest * 3600).addDays(daysAfter);
        dialog->momentEdit()->setDateTime(QDateTime(moment.date(), moment.time()));
        const QString text = dialog->predictionText()->text();
        QVERIFY2(text.contains(words), qPrintable(text));
        QCOMPARE(text.contains(u"Yallop"), words == u"Yallop");
    }

    // The log's columns fit their cells: when it opens with entries, and
    // when it opens empty and the first entry comes, as after a reopening.
    void columnsFitTheirCells_data() {
        QTest::addColumn<bool>("empty");
        QTest::newRow("opened with an entry") << false;
        QTest::newRow("opened empty, an entry added") << true;
    }
    void columnsFitTheirCells() {
        QFETCH(bool, empty);
        const LogEntry entry = EntryAt(QDateTime(QDate(2027, 2, 7), QTime(17, 25), Budapest),
                                       SightingResult::AidThenNakedEye);
        if (!empty) {
            writeLog({entry});
        }
        LogWindow window(dir_->portable(), &clock_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (empty) {
            window.addEntry(entry)->accept();
        }
        QCOMPARE(window.table()->model()->rowCount(), 1);
        // What the cells ask for, as the view measures them (public in its base).
        QAbstractItemView *table = window.table();
        for (int column = 0; column < table->model()->columnCount() - 1; ++column) {
            QVERIFY2(window.table()->columnWidth(column) >= table->sizeHintForColumn(column),
                     qPrintable(QStringLiteral("%1: %2 < %3")
                                    .arg(column)
                                    .arg(window.table()->columnWidth(column))
                                    .arg(table->sizeHintForColumn(column))));
        }
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

    // A save that is refused, or a note beyond its limit, leaves the dialog
    // open with the entry as typed: once the cause is gone, OK saves it.
    void refusedEntryStaysInTheDialog_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("words"); // of the message
        QTest::newRow("a folder in the log's place") << "folder"
                                                     << "nem olvasható";
        QTest::newRow("a link in the log's place") << "link"
                                                   << "hivatkozás";
        QTest::newRow("a note beyond its limit") << "note"
                                                 << "legfeljebb";
    }
    void refusedEntryStaysInTheDialog() {
        QFETCH(QString, cause);
        QFETCH(QString, words);
        LogWindow window(dir_->portable(), &clock_);
        const QString log = dir_->pic(QStringLiteral("naplo.csv"));
        const QString elsewhere = dir_->path() + QStringLiteral("/masik.csv");
        if (cause == u"folder") {
            QVERIFY(QDir().mkpath(log));
        } else if (cause == u"link") {
            QVERIFY(QFile(elsewhere).open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(elsewhere, log));
        }
        EntryDialog *dialog = window.addEntry(window.freshEntry());
        dialog->notesField()->setPlainText(cause == u"note" ? QString(LogNoteLimit + 1, u'x')
                                                            : QStringLiteral("vékony sarló"));
        {
            MessageBoxes boxes;
            dialog->accept();
            QTRY_COMPARE(boxes.count(), 1);
            QVERIFY2(boxes.last().text.contains(words), qPrintable(boxes.last().text));
        }
        QVERIFY(dialog->isVisible());
        QCOMPARE(window.table()->model()->rowCount(), 0);

        if (cause == u"note") {
            dialog->notesField()->setPlainText(QString(LogNoteLimit, u'x'));
        } else {
            QVERIFY(QDir().rmdir(log) || QFile::remove(log));
        }
        dialog->accept();
        QCOMPARE(stored().size(), 1);
        QCOMPARE(stored().constFirst().notes.size(),
                 cause == u"note" ? LogNoteLimit : qsizetype(12));
        QCOMPARE(window.table()->model()->rowCount(), 1);
    }

    // An import runs off the window's thread behind a progress dialog: it
    // adds what the log can keep and names what it left out; cancelled, it
    // adds nothing.
    void importsOffTheWindowsThread_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("added");
        QTest::newRow("to the end") << false << 40;
        QTest::newRow("cancelled") << true << 0;
    }
    void importsOffTheWindowsThread() {
        QFETCH(bool, cancel);
        QFETCH(int, added);
        // The file has no predictions: the first's is copied, not computed.
        QList<LogEntry> entries{EntryAt(QDateTime(QDate(2027, 3, 9), QTime(18, 5), Budapest),
                                        SightingResult::NakedEye)};
        for (int i = 1; i < (cancel ? 4000 : 40); ++i) {
            entries.append(entries.constFirst());
            entries.last().moment = entries.last().moment.addDays(i);
        }
        LogEntry faraway = entries.constFirst();
        faraway.moment = QDateTime(QDate(2027, 3, 9), QTime(18, 5), QTimeZone::utc());
        faraway.place.longitude = -300; // not on the globe, another program's file
        const QString file = dir_->path() + QStringLiteral("/import.xml");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(FormatOal(entries + QList<LogEntry>{faraway}));
        out.close();

        LogWindow window(dir_->portable(), &clock_);
        QSignalSpy imported(&window, &LogWindow::imported);
        MessageBoxes boxes;
        QVERIFY(window.importOal(file));
        if (cancel) {
            auto *progress = window.findChild<QProgressDialog *>(QStringLiteral("importProgress"));
            QVERIFY(progress);
            // "Mégse", as a user presses it.
            progress->findChild<QPushButton *>()->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(imported.size(), 1, 60000);
        QCOMPARE(imported.first().first().toInt(), added);
        QCOMPARE(stored().size(), added);
        QCOMPARE(window.table()->model()->rowCount(), added);
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains(cancel ? u"megszakítva" : u"hosszúság"),
                 qPrintable(boxes.last().text));
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
