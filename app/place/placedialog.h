#pragma once

#include "lunar/horizon.h"
#include "store/appdirs.h"
#include "store/placefile.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QVBoxLayout;

namespace lunex {

// The dialog "Megfigyelési hely": a built-in place picked from the list, found
// by any part of its name regardless of capitals and accents, or a place typed
// as a name, latitude, longitude and elevation; and the zone whose clock the
// place keeps, chosen from the time-zone database's names (a typed place starts
// on the system's); and the place's own skyline, typed as a short list of
// azimuths and altitudes or loaded from a horizon file, stored beside it.
class PlaceDialog : public QDialog {
    Q_OBJECT
public:
    PlaceDialog(const AppDirs &dirs, const ObserverPlace &current, QWidget *parent = nullptr);

    // The place that OK saved, as hely.txt gives it back.
    std::optional<ObserverPlace> saved() const { return saved_; }
    // OK gives the place without storing it: a place of its own for one log
    // entry, which has no skyline.
    void keepUnsaved();

    // Loads a horizon list into the skyline's field, as "Betöltés fájlból…"
    // does; a file that cannot be read is said in a message and the field
    // stays, bad lines are named and left out.
    bool loadHorizonFile(const QString &path);

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
    void buildSkyline(QFormLayout *form);
    void buildButtons(QVBoxLayout *layout);
    void showPlaces(const QString &typed);
    void fill(const ObserverPlace &place);
    void showSkyline(const HorizonProfile &skyline);
    void keepSkylineToItsSite();
    std::optional<Place> typedSite() const;
    void chooseHorizonFile();
    std::optional<ObserverPlace> typedPlace();
    bool saveSkyline(const HorizonProfile &skyline);

    QString dataDir_;
    QLineEdit *search_ = nullptr;
    QListWidget *places_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLineEdit *latitude_ = nullptr;
    QLineEdit *longitude_ = nullptr;
    QLineEdit *elevation_ = nullptr;
    QComboBox *zone_ = nullptr;
    QFormLayout *form_ = nullptr;
    QWidget *horizonRow_ = nullptr;
    QLineEdit *horizon_ = nullptr;
    QLabel *horizonHint_ = nullptr;
    HorizonProfile storedSkyline_;
    // Where the skyline in the field was seen from: another place empties it.
    std::optional<Place> skylineSite_;
    std::optional<ObserverPlace> saved_;
    bool storing_ = true;
};

// Opens the dialog; on OK validates, saves hely.txt (messages on failure) and
// returns the place saved; nothing when cancelled.
std::optional<ObserverPlace> ChooseObserverPlace(QWidget *parent, const AppDirs &dirs,
                                                 const ObserverPlace &current);

} // namespace lunex
