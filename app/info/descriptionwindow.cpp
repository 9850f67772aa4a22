#include "app/info/descriptionwindow.h"

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

QList<DescriptionCaption> DescriptionCaptions() {
    using Kind = DescriptionCaption::Kind;
    return {
        {"Label6", QStringLiteral("A program használatához néhány tanács:"),
         QRect(360, 120, 8895, 495), Kind::Heading},
        {"Label1",
         QStringLiteral("1.) a SÁRGA (Utolsó Újhold) gombra kattintva megjelenik a "
                        "legutolsónak megadott újhold időpontja."),
         QRect(240, 960, 9015, 615), Kind::Tip},
        {"Label2",
         QStringLiteral("2.) a ZÖLD (Utolsó megfigyelés) gombra kattintva betölti az "
                        "elmentett utolsó megfigyelési dátumot. Ha újat adunk meg, a "
                        "MENTÉS gombbal elmenthetjük, legközelebb már azt tölti be. "),
         QRect(240, 1800, 9015, 975), Kind::Tip},
        {"Label3",
         QStringLiteral("3.) a SÖTÉTKÉK (Most!) gombra kattintva a pillanatnyi "
                        "időt-dátumot (a számítógép rendszer idejét) tölti be a "
                        "'Megfigyelési idejének'."),
         QRect(240, 3000, 9015, 735), Kind::Tip},
        {"Label5",
         QStringLiteral("A két időpontnak AZONOS IDŐZÓNÁBAN KELL lennie. (pl. "
                        "két UTC, vagy két UTC+2....).  A Program NEM számol "
                        "át az időzónák között!"),
         QRect(240, 4080, 9015, 735), Kind::Warning},
        {"Label4",
         QStringLiteral("A ZÖLD vagy a SÖTÉTKÉK gombra kattintva az 'Utolsó "
                        "Újhold' mező tartalmát a program  -ELMENTI-  és a "
                        "SÁRGA gombbal legközelebb már azt jeleníti meg! "),
         QRect(240, 5040, 9135, 975), Kind::Warning},
    };
}

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
    addCaptions();

    auto *ok =
        look::AddButton(this, "Command10", QStringLiteral("OK"), TwipsRect(4200, 6240, 975, 495),
                        look::PaleGreen, look::Font(Face::Arial, 12, true));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    ok->setFocus();
    look::CentreOnScreen(this);
}

void DescriptionWindow::addCaptions() {
    const QFont serif = look::Font(Face::TimesNewRoman, 15.75);
    // Wrapped with the stand-in fonts, several captions need a little more
    // height than their boxes give, and the last line would be cut off. Each
    // box grows downwards, and moves down as far as the one above it grew into
    // it, so that every line stays readable.
    int below = 0;
    for (const DescriptionCaption &caption : DescriptionCaptions()) {
        const QRect box =
            TwipsRect(caption.box.x(), caption.box.y(), caption.box.width(), caption.box.height());
        QLabel *label = caption.kind == DescriptionCaption::Heading
                            ? look::AddLabel(this, caption.name, caption.text, box,
                                             look::Font(Face::Arial, 15.75), Qt::AlignHCenter)
                            : look::AddLabel(this, caption.name, caption.text, box, serif);
        if (caption.kind == DescriptionCaption::Warning) {
            QPalette redText = label->palette();
            redText.setColor(QPalette::WindowText, look::Red);
            label->setPalette(redText);
        }
        const int height = std::max(label->height(), label->heightForWidth(label->width()));
        label->setGeometry(label->x(), std::max(label->y(), below), label->width(), height);
        below = label->geometry().bottom() + 1;
    }
}

void DescriptionWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    look::DrawTwipsLine(painter, 960, 3960, 8280, 3960, look::LightGrey); // Line1
}

} // namespace lunex
