#pragma once

#include "evaluation/evaluation.h"
#include "lunar/yearoverview.h"
#include "store/appdirs.h"
#include "store/placefile.h"
#include "texts/eveningcsv.h"

#include <QPointer>
#include <QTimeZone>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace lunex {

class CrescentWindow;

// "Éves áttekintés": the year at a glance for the observer's place. For each
// new moon of the year the last morning and the first evening its crescent
// can be seen with optical aid and with the eye, a row each; the year's
// nearest to the new moon, the record chances, highlighted. A row opens its
// lunation in the crescent forecast.
class YearWindow : public QWidget {
    Q_OBJECT
public:
    // `clock` says which year is the current one (the system's without one).
    YearWindow(const AppDirs &dirs, const Clock *clock);
    ~YearWindow() override;

    const ObserverPlace &place() const { return place_; }
    const YearOverview &overview() const { return overview_; }
    // Within the years the new moons serve; another is not shown.
    void showYear(int year);

    QTableWidget *table() const { return table_; }
    // The lunation of a row, by its place in overview().lunations.
    static int LunationOfRow(int row) { return row / SightCount; }
    // Opens a row's lunation in the forecast window, which it returns.
    CrescentWindow *openLunation(int row);
    CrescentWindow *forecastWindow() const { return forecast_; }

    // The exports to a file the user named; a failure is reported.
    bool saveYear(const QString &path, CsvForm form);
    // The evenings of the year the crescent can be seen on, as an iCalendar file.
    bool saveCalendar(const QString &path);

private:
    QLayout *buildHeader();
    QLayout *buildExports();
    void showRows();
    void choosePlace();
    void exportYear();
    void exportCalendar();
    QString suggestedPath(const QString &suffix) const;

    AppDirs dirs_;
    SystemClock systemClock_;
    const Clock *clock_;
    QTimeZone zone_;
    ObserverPlace place_;
    YearOverview overview_;
    QLabel *placeText_ = nullptr;
    QLabel *yearText_ = nullptr;
    QPushButton *previous_ = nullptr;
    QPushButton *next_ = nullptr;
    QTableWidget *table_ = nullptr;
    QPointer<CrescentWindow> forecast_;
};

} // namespace lunex
