#pragma once

#include "store/appdirs.h"
#include "store/placefile.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QVBoxLayout;

namespace lunex {

// The dialog "Megfigyelési hely": a built-in place picked from the list, found
// by any part of its name regardless of capitals and accents, or a place typed
// as a name, latitude, longitude and elevation; and the zone whose clock the
// place keeps, chosen from the time-zone database's names (a typed place starts
// on the system's).
class PlaceDialog : public QDialog {
    Q_OBJECT
public:
    PlaceDialog(const AppDirs &dirs, const ObserverPlace &current, QWidget *parent = nullptr);

    // The place that OK saved, as hely.txt gives it back.
    std::optional<ObserverPlace> saved() const { return saved_; }
    // OK gives the place without storing it: a place of its own for one log entry.
    void keepUnsaved() { storing_ = false; }

    // OK: a field that cannot be read is named in a message and nothing is
    // stored; a place that cannot be saved is reported. Either way the dialog
    // stays open with what was typed.
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFields();
    void buildSearch(QVBoxLayout *layout);
    void buildForm(QVBoxLayout *layout);
    void buildButtons(QVBoxLayout *layout);
    void showPlaces(const QString &typed);
    void fill(const ObserverPlace &place);
    std::optional<ObserverPlace> typedPlace();

    QString dataDir_;
    QLineEdit *search_ = nullptr;
    QListWidget *places_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLineEdit *latitude_ = nullptr;
    QLineEdit *longitude_ = nullptr;
    QLineEdit *elevation_ = nullptr;
    QComboBox *zone_ = nullptr;
    std::optional<ObserverPlace> saved_;
    bool storing_ = true;
};

// Opens the dialog; on OK validates, saves hely.txt (messages on failure) and
// returns the place saved; nothing when cancelled.
std::optional<ObserverPlace> ChooseObserverPlace(QWidget *parent, const AppDirs &dirs,
                                                 const ObserverPlace &current);

// The stored place; an unreadable hely.txt is reported once per run (message
// box) and Budapest is used, as is a zone it names that the database does
// not know (the system's zone stands in).
ObserverPlace CurrentObserverPlace(const AppDirs &dirs, QWidget *messageParent);

} // namespace lunex
