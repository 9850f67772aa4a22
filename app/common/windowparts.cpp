#include "app/common/windowparts.h"

#include "look/colours.h"
#include "look/look.h"
#include "messages/crescenttexts.h"
#include "messages/messages.h"
#include "store/fileio.h"

#include <QBoxLayout>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

namespace lunex {

QString TableStyleSheet(int headingPadding) {
    return QStringLiteral(
               "QLabel { color: black; }"
               "QTableView { background-color: white; color: black; gridline-color: #b0b0b0;"
               " border: 1px solid #808080; selection-background-color: rgba(0, 60, 160, 70);"
               " selection-color: black; }"
               "QTableView:focus { border: 2px solid black; }"
               "QHeaderView::section { background-color: #e4eeee; color: black;"
               " border: 1px solid #a0a0a0; padding: 2px %1px; }")
        .arg(headingPadding);
}

QPushButton *AddWindowButton(QWidget *parent, const char *name, const QString &caption,
                             const QString &spoken) {
    QPushButton *button = look::AddButton(parent, name, caption, {}, look::PaleGreen,
                                          look::Font(look::Face::Arial, 10, true));
    button->setMinimumHeight(28);
    if (!spoken.isEmpty()) {
        button->setAccessibleName(spoken);
    }
    return button;
}

PlaceLine AddPlaceLine(QWidget *parent, QBoxLayout *header) {
    auto *caption = new QLabel(QStringLiteral("Megfigyelési hely:"), parent);
    caption->setFont(look::Font(look::Face::Arial, 10, true));
    auto *text = new QLabel(parent);
    text->setObjectName(QStringLiteral("placeText"));
    QPushButton *button = AddWindowButton(parent, "placeButton", QStringLiteral("&Hely…"),
                                          QStringLiteral("Megfigyelési hely"));
    header->addWidget(caption);
    header->addWidget(text);
    header->addWidget(button);
    return {text, button};
}

std::optional<CsvTarget> AskCsvTarget(QWidget *parent, const QString &title,
                                      const QString &suggested) {
    const QString plain = QStringLiteral("CSV, vesszővel és tizedesponttal (*.csv)");
    const QString hungarian = QStringLiteral(
        "CSV magyar táblázatkezelőknek, pontosvesszővel és tizedesvesszővel (*.csv)");
    QString chosen = hungarian;
    const QString path = QFileDialog::getSaveFileName(
        parent, title, suggested, plain + QStringLiteral(";;") + hungarian, &chosen);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return CsvTarget{path, chosen == hungarian ? CsvForm::Hungarian : CsvForm::Plain};
}

QString CalendarFileType() {
    return QStringLiteral("iCalendar-naptár (*.ics)");
}

bool SaveExport(QWidget *parent, const QString &path, const QByteArray &bytes) {
    const FileProblem problem = WriteFileAtomically(path, bytes);
    if (problem != FileProblem::None) {
        look::ShowMessageBox(parent, UserFileWriteFailureMessage(path, problem),
                             QMessageBox::Critical);
    }
    return problem == FileProblem::None;
}

bool SaveCalendarExport(QWidget *parent, const QString &path, const CalendarFile &file) {
    if (!file.libraryLoaded) {
        look::ShowMessageBox(parent, CalendarLibraryMissingText(), QMessageBox::Critical);
        return false;
    }
    return SaveExport(parent, path, file.bytes);
}

} // namespace lunex
