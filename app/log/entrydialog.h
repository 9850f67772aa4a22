#pragma once

#include "store/appdirs.h"
#include "store/logfile.h"

#include <QDialog>
#include <QTimeZone>

#include <functional>

class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lunex {

// One entry of the log, typed or changed: the moment on its clock, the place,
// what was seen and with what, the sky, the observer and the notes, with the
// prediction for the moment and the place shown as they change.
class EntryDialog : public QDialog {
    Q_OBJECT
public:
    EntryDialog(const AppDirs &dirs, const LogEntry &entry, QWidget *parent = nullptr);

    // The entry as typed, its prediction computed; valid after OK.
    const LogEntry &entry() const { return entry_; }
    // What OK does with the entry before the dialog closes: false keeps the
    // dialog open with the entry, to be saved again.
    void setSaver(std::function<bool(const LogEntry &)> saver) { saver_ = std::move(saver); }

    QDateTimeEdit *momentEdit() const { return moment_; }
    QComboBox *resultBox() const { return result_; }
    QLineEdit *observerField() const { return observer_; }
    QPlainTextEdit *notesField() const { return notes_; }
    QLabel *predictionText() const { return prediction_; }

    // A moment the clock skips (the hour lost in spring) is refused with a message.
    void accept() override;

private:
    QPushButton *createFields(const LogEntry &entry);
    QFormLayout *fieldsForm(QPushButton *placeButton);
    std::optional<QDateTime> typedMoment() const;
    void choosePlace();
    void showPlace();
    void showPrediction();

    AppDirs dirs_;
    LogEntry entry_;
    std::function<bool(const LogEntry &)> saver_;
    QTimeZone zone_;
    QDateTimeEdit *moment_ = nullptr;
    QLabel *zoneText_ = nullptr;
    QLabel *placeText_ = nullptr;
    QComboBox *result_ = nullptr;
    QComboBox *aid_ = nullptr;
    QLineEdit *aidText_ = nullptr;
    QComboBox *sky_ = nullptr;
    QComboBox *transparency_ = nullptr;
    QLineEdit *observer_ = nullptr;
    QPlainTextEdit *notes_ = nullptr;
    QLabel *prediction_ = nullptr;
};

// The age of the prediction, "38 ó 21 p", with a minus sign before a new moon.
QString PredictionAge(const SightingPrediction &prediction, const QLocale &locale);

// What the prediction of an entry says, in a line: the age, the Moon's place,
// q and V with their classes; in their place, when the criteria do not speak
// of the moment, why.
QString PredictionSummary(const SightingPrediction &prediction, SightingMoment moment,
                          const QLocale &locale);

} // namespace lunex
