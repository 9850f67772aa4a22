#include "app/main/resultarea.h"

#include "app/main/resultlines.h"

#include "look/colours.h"
#include "look/look.h"

#include <QPainter>

namespace lunex {

using look::Black;
using look::Grey;
using look::LightGreen;

namespace {

// Where each result line starts on the surface, in twips: the observation's
// date and its time side by side on the first row.
QPoint LinePosition(ResultLine line) {
    switch (line) {
    case ResultLine::Observation:
        return {700, 1265};
    case ResultLine::ObservationTime:
        return {5020, 1265};
    case ResultLine::AgeHours:
        return {700, 2100};
    case ResultLine::AgeDays:
        return {700, 2800};
    case ResultLine::FractionalDays:
        return {700, 3300};
    case ResultLine::Phase:
        return {700, 5050};
    }
    Q_UNREACHABLE();
}

} // namespace

QFont SurfaceFont() {
    return look::Font(look::Face::TimesNewRomanCE, 15, true);
}

void PhasePictureLabel::mousePressEvent(QMouseEvent *event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

void BannerPicture::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    look::PaintBanner(painter);
}

ResultArea::ResultArea(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("A_surface"));
    setFixedSize(look::Px(11370), look::Px(5850));
    look::SetColours(this, Black, LightGreen);
    setFont(SurfaceFont());
    // Made first, so that it lies below the controls the window puts on it.
    lines_ = new ResultLines(this);
}

// Only the printed texts' own rectangles are repainted: the controls beside
// them need no repaint on a press.
QRect ResultArea::textRect(const PrintedText &t) const {
    const QFontMetrics metrics(font());
    const QPoint at = look::TwipsPoint(t.x, t.y);
    return {at.x(), at.y(), metrics.horizontalAdvance(t.text) + 2, metrics.height() + 1};
}

void ResultArea::clear() {
    for (const PrintedText &t : printed_) {
        update(textRect(t));
    }
    printed_.clear();
    redrawn_ = true;
}

void ResultArea::announceResults() {
    if (redrawn_) {
        redrawn_ = false;
        lines_->announce();
    }
}

void ResultArea::print(const ResultText &result) {
    const QPoint at = LinePosition(result.line);
    printed_.append({at.x(), at.y(), result.text});
    update(textRect(printed_.back()));
}

void ResultArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Black);
    look::DrawTwipsFrame(p, 240, 480, 6615, 5175, Grey, Black);         // Shape2
    look::DrawTwipsFrame(p, 600, 2760, 2535, 2655, Grey, Qt::NoBrush);  // Shape3
    look::DrawTwipsFrame(p, 6960, 480, 4215, 5175, Grey, Qt::NoBrush);  // Shape1
    look::DrawTwipsLine(p, 720, 1920, 6480, 1920, Grey, Qt::DotLine);   // Line1
    look::DrawTwipsLine(p, 7200, 3600, 10920, 3600, Grey, Qt::DotLine); // Line2
    // The printed results stay until the next clear, through every repaint.
    p.setFont(font());
    p.setPen(LightGreen);
    const int ascent = QFontMetrics(font()).ascent();
    for (const PrintedText &t : printed_) {
        const QPoint at = look::TwipsPoint(t.x, t.y);
        p.drawText(at.x(), at.y() + ascent, t.text);
    }
}

} // namespace lunex
