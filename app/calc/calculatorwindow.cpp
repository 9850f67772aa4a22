#include "app/calc/calculatorwindow.h"

#include "look/colours.h"
#include "look/look.h"
#include "messages/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace lunex {

namespace {

using look::Face;
using look::TwipsRect;

using look::LightCyan;
using look::LightGrey;
using look::PaleGreen;

QFont WindowFont() {
    return look::Font(Face::Arial, 14.25, true);
}

QFont HeadingFont() {
    QFont font = WindowFont();
    font.setUnderline(true);
    return font;
}

QLineEdit *AddField(QWidget *parent, const char *name, const QString &unit, const QRect &box) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    // The unit printed after it names it for a screen reader.
    field->setAccessibleName(unit);
    field->setGeometry(box);
    field->setMaxLength(6);
    look::SetColours(field, look::ClassicField, look::ClassicWindowText);
    return field;
}

} // namespace

CalculatorWindow::CalculatorWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Számítások"));
    setWindowIcon(look::AppIcon());
    setFixedSize(look::Px(8610), look::Px(6105));
    setFont(WindowFont());
    // The captions and the printed result in the system's window-text colour,
    // the fields in its field colours: the classic ones (colours.h).
    look::SetColours(this, LightCyan, look::ClassicWindowText);

    look::AddLabel(this, "Label41", QStringLiteral("Fok -  Vonás átszámítás:"),
                   TwipsRect(480, 480, 4575, 375), HeadingFont());
    degreesField_ = AddField(this, "Text41", QStringLiteral("Fok"), TwipsRect(480, 960, 1095, 450));
    look::AddLabel(this, "Label42", QStringLiteral("fok  ="), TwipsRect(1800, 1080, 1095, 375),
                   WindowFont());
    look::AddLabel(this, "Label43", QStringLiteral("vonás"), TwipsRect(5160, 1080, 1095, 375),
                   WindowFont());
    const QFont buttonFont = look::Font(Face::ArialNarrow, 14.25, true);
    auto *toMilsButton = look::AddButton(this, "Command41", QStringLiteral("Számítás"),
                                         TwipsRect(6600, 960, 1455, 495), PaleGreen, buttonFont);

    look::AddLabel(this, "Label45", QStringLiteral("Vonás - Fok átszámítás:"),
                   TwipsRect(480, 2040, 4575, 375), HeadingFont());
    milsField_ = AddField(this, "Text42", QStringLiteral("Vonás"), TwipsRect(480, 2520, 1095, 450));
    look::AddLabel(this, "Label46", QStringLiteral("vonás =  ="), TwipsRect(1800, 2640, 1335, 375),
                   WindowFont());
    look::AddLabel(this, "Label47", QStringLiteral("fok"), TwipsRect(5160, 2640, 855, 375),
                   WindowFont());
    auto *toDegreesButton =
        look::AddButton(this, "Command42", QStringLiteral("Számítás"),
                        TwipsRect(6600, 2520, 1455, 495), PaleGreen, buttonFont);

    look::AddLabel(this, "Label48",
                   QStringLiteral("A tüzérségben és a navigációban használt 6000 egységre osztott "
                                  "kör (ún. tüzérségi kör) olyan szögmértékegység, amely a "
                                  "teljes kört 360 fok helyett 6000 egységre osztja fel."),
                   TwipsRect(600, 3600, 7455, 1215), buttonFont, Qt::AlignHCenter);
    auto *okButton = look::AddButton(this, "Command499", QStringLiteral("OK"),
                                     TwipsRect(3720, 5400, 1215, 495), PaleGreen, buttonFont);

    connect(toMilsButton, &QPushButton::clicked, this, &CalculatorWindow::degToMil);
    connect(toDegreesButton, &QPushButton::clicked, this, &CalculatorWindow::milToDeg);
    connect(okButton, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(degreesField_, toMilsButton);
    setTabOrder(toMilsButton, milsField_);
    setTabOrder(milsField_, toDegreesButton);
    setTabOrder(toDegreesButton, okButton);
    degreesField_->setFocus();
    look::CentreOnScreen(this);
}

void CalculatorWindow::degToMil() {
    convert(AngleConversion::DegToMil, degreesField_, look::TwipsPoint(3400, 1080));
}

void CalculatorWindow::milToDeg() {
    convert(AngleConversion::MilToDeg, milsField_, look::TwipsPoint(3400, 2650));
}

void CalculatorWindow::convert(AngleConversion conversion, const QLineEdit *field, QPoint at) {
    const std::optional<QString> text = ConvertAngleText(conversion, field->text(), QLocale());
    if (!text) {
        look::ShowMessageBox(this, NotANumberMessage, QMessageBox::Warning);
        return;
    }
    // One result at a time: printing clears whatever the other row showed.
    printed_ = *text;
    printedAt_ = at;
    update();
}

void CalculatorWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    look::DrawTwipsFrame(painter, 240, 240, 8175, 4815, LightGrey);  // Shape1
    look::DrawTwipsLine(painter, 480, 1800, 8040, 1800, LightGrey);  // Line1
    look::DrawTwipsLine(painter, 2400, 3360, 6120, 3360, LightGrey); // Line2
    if (!printed_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        // drawText places the baseline; the result's top sits at the position.
        painter.drawText(printedAt_ + QPoint(0, painter.fontMetrics().ascent()), printed_);
    }
}

} // namespace lunex
