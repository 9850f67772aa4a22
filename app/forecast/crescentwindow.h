#pragma once

#include "evaluation/evaluation.h"
#include "lunar/evenings.h"
#include "lunar/horizon.h"
#include "store/appdirs.h"
#include "store/placefile.h"
#include "texts/eveningcsv.h"

#include <QDateTime>
#include <QImage>
#include <QTimeZone>
#include <QWidget>

class QLabel;
class QPushButton;
class QTabWidget;

namespace lunex {

class EntryDialog;
class EveningsTable;
class MapPanel;
class SkyPanel;

// "Holdsarló-előrejelzés": the old and the young Moon for the observer's own
// place. The mornings before one new moon and the evenings after it, where to
// look on the selected one, and the world map of that morning or evening; the
// previous and the next lunation a press away. Its dates and times are on the
// place's own clock, which it names.
class CrescentWindow : public QWidget {
    Q_OBJECT
public:
    // `clock` says what today is (the system's without one); the lunation
    // shown first is that of `newMoonText` when it is a time, else the one
    // whose evenings are now.
    CrescentWindow(const AppDirs &dirs, const Clock *clock, const QString &newMoonText);
    ~CrescentWindow() override;

    const ObserverPlace &place() const { return place_; }
    // The place's own skyline, flat when it has none.
    const HorizonProfile &skyline() const { return skyline_; }
    const Lunation &lunation() const { return lunation_; }
    int lunationNumber() const { return lunationNumber_; }
    // The selected morning or evening; none while the new moon's row is.
    const Evening *selectedDay() const;
    // The index of the selected evening in lunation().evenings, or -1.
    int selectedEvening() const;
    void selectEvening(int index) { selectDay(Direction::Evening, index); }
    void selectDay(Direction direction, int index);
    void showLunation(int number);

    EveningsTable *eveningsTable() const { return table_; }
    SkyPanel *skyPanel() const { return skyPanel_; }
    MapPanel *mapPanel() const { return mapPanel_; }
    QTabWidget *views() const { return views_; }

    // The exports to a file the user named; a failure is reported.
    bool saveEvenings(const QString &path, CsvForm form);
    // The evenings the crescent can be seen on, as an iCalendar file.
    bool saveCalendar(const QString &path);
    bool savePicture(const QString &path, const QImage &picture);
    // Opens the log with a new entry at the selected evening's best time.
    EntryDialog *logSighting();

private:
    QLayout *buildHeader();
    QLayout *buildExports();
    void fitScreen();
    void choosePlace();
    void showSelectedEvening();
    int firstLunation(const QString &newMoonText);
    int rowToSelect() const;
    void selectRow(int row);
    QDate today() const;
    bool saveFile(const QString &path, const QByteArray &bytes);
    QString suggestedPath(const QString &what, const QString &suffix) const;
    void rememberFolder(const QString &savedPath) const;
    void exportEvenings();
    void exportCalendar();
    void exportPicture(const QString &title, const QString &suggested, const QImage &picture);

    AppDirs dirs_;
    SystemClock systemClock_;
    const Clock *clock_;
    QTimeZone systemZone_; // the main window's clock, for its new moon
    QTimeZone zone_;       // the place's own clock, for everything shown here
    ObserverPlace place_;
    HorizonProfile skyline_;
    int lunationNumber_ = 0;
    Lunation lunation_;
    QLabel *placeText_ = nullptr;
    QLabel *clockText_ = nullptr;
    QLabel *newMoonText_ = nullptr;
    QLabel *yearNote_ = nullptr; // a field's new moon outside the forecast's years
    QPushButton *previousButton_ = nullptr;
    QPushButton *nextButton_ = nullptr;
    EveningsTable *table_ = nullptr;
    QTabWidget *views_ = nullptr;
    SkyPanel *skyPanel_ = nullptr;
    MapPanel *mapPanel_ = nullptr;
    QPushButton *saveSkyButton_ = nullptr;
    QPushButton *saveMapButton_ = nullptr;
    QPushButton *logButton_ = nullptr;
};

} // namespace lunex
