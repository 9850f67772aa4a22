#include "info/descriptionwindow.h"

#include "look/colours.h"
#include "look/look.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace lunex {

using look::Face;
using look::TwipsRect;

using look::LightCyan;

DescriptionWindow::DescriptionWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Program leírása"));
    setWindowIcon(look::AppIcon());
    // The content does not follow a resize, so the window keeps its size.
    setFixedSize(look::Px(9495), look::Px(6855));
    // The texts in the system's window-text colour: the classic one, which
    // stays readable on the light cyan whatever the theme (colours.h).
    look::SetColours(this, LightCyan, look::ClassicWindowText);

    const QFont serif = look::Font(Face::TimesNewRoman, 15.75);
    look::AddLabel(this, "Label6", QStringLiteral("A program használatához néhány tanács:"),
                   TwipsRect(360, 120, 8895, 495), look::Font(Face::Arial, 15.75),
                   Qt::AlignHCenter);
    look::AddLabel(this, "Label1",
                   QStringLiteral("1.) a SÁRGA (Utolsó Újhold) gombra kattintva megjelenik a "
                                  "legutolsónak megadott újhold időpontja."),
                   TwipsRect(240, 960, 9015, 615), serif);
    look::AddLabel(this, "Label2",
                   QStringLiteral("2.) a ZÖLD (Utolsó megfigyelés) gombra kattintva betölti az "
                                  "elmentett utolsó megfigyelési dátumot. Ha újat adunk meg, a "
                                  "MENTÉS gombbal elmenthetjük, legközelebb már azt tölti be. "),
                   TwipsRect(240, 1800, 9015, 975), serif);
    look::AddLabel(this, "Label3",
                   QStringLiteral("3.) a SÖTÉTKÉK (Most!) gombra kattintva a pillanatnyi "
                                  "időt-dátumot (a számítógép rendszer idejét) tölti be a "
                                  "'Megfigyelési idejének'."),
                   TwipsRect(240, 3000, 9015, 735), serif);
    for (QLabel *warning : {
             look::AddLabel(this, "Label5",
                            QStringLiteral("A két időpontnak AZONOS IDŐZÓNÁBAN KELL lennie. (pl. "
                                           "két UTC, vagy két UTC+2....).  A Program NEM számol "
                                           "át az időzónák között!"),
                            TwipsRect(240, 4080, 9015, 735), serif),
             look::AddLabel(this, "Label4",
                            QStringLiteral("A ZÖLD vagy a SÖTÉTKÉK gombra kattintva az 'Utolsó "
                                           "Újhold' mező tartalmát a program  -ELMENTI-  és a "
                                           "SÁRGA gombbal legközelebb már azt jeleníti meg! "),
                            TwipsRect(240, 5040, 9135, 975), serif),
         }) {
        QPalette redText = warning->palette();
        redText.setColor(QPalette::WindowText, look::Red);
        warning->setPalette(redText);
    }
    // Wrapped with the stand-in fonts, several captions need a little more
    // height than their boxes give, and the last line would be cut off. Each
    // box grows downwards, and moves down as far as the one above it grew into
    // it, so that every line stays readable; the captions are in the order
    // they appear from the top.
    int below = 0;
    for (QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        const int height = std::max(label->height(), label->heightForWidth(label->width()));
        label->setGeometry(label->x(), std::max(label->y(), below), label->width(), height);
        below = label->geometry().bottom() + 1;
    }

    auto *ok =
        look::AddButton(this, "Command10", QStringLiteral("OK"), TwipsRect(4200, 6240, 975, 495),
                        look::PaleGreen, look::Font(Face::Arial, 12, true));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    ok->setFocus();
    look::CentreOnScreen(this);
}

void DescriptionWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    look::DrawTwipsLine(painter, 960, 3960, 8280, 3960, look::LightGrey); // Line1
}

} // namespace lunex
