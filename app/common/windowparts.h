#pragma once

#include "texts/eveningcalendar.h"
#include "texts/eveningcsv.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// What the windows of the astronomy share: their buttons and the saving of an
// export the user named.
namespace lunex {

// A pale green button in the windows' bold face; `spoken` is what a screen
// reader says when the caption's symbols would not do.
QPushButton *AddWindowButton(QWidget *parent, const char *name, const QString &caption,
                             const QString &spoken = {});

// The fixed colours of the labels and the table a desktop theme would paint,
// the headings' cells with `headingPadding` pixels at their sides.
QString TableStyleSheet(int headingPadding = 4);

// "Megfigyelési hely:", the place's text and the "Hely…" button that changes
// it, added to a window's header.
struct PlaceLine {
    QLabel *text;
    QPushButton *button;
};
PlaceLine AddPlaceLine(QWidget *parent, QBoxLayout *header);

// Asks where a CSV export goes; the form is chosen by the file type offered
// in the dialog, the Hungarian spreadsheets' by default.
struct CsvTarget {
    QString path;
    CsvForm form;
};
std::optional<CsvTarget> AskCsvTarget(QWidget *parent, const QString &title,
                                      const QString &suggested);

// The calendar files' type in the save dialogs.
QString CalendarFileType();

// Writes the file atomically; a failure is said in a message box over `parent`.
bool SaveExport(QWidget *parent, const QString &path, const QByteArray &bytes);
// The same for a calendar file, which is not there when libical could not be
// loaded: that too is said, and nothing is written.
bool SaveCalendarExport(QWidget *parent, const QString &path, const CalendarFile &file);

} // namespace lunex
