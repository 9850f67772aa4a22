#include "app/resultarea.h"

#include "app/resultlines.h"

#include "look/colours.h"
#include "look/look.h"

#include <QPainter>

namespace lunex {

using look::Black;
using look::Grey;
using look::LightGreen;

QFont SurfaceFont() {
    return look::Font(look::Face::TimesNewRomanCE, 15, true);
}

void PhasePicture::mousePressEvent(QMouseEvent *event) {
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
QRect ResultArea::textRect(const ResultText &t) const {
    const QFontMetrics metrics(font());
    const QPoint at = look::TwipsPoint(t.x, t.y);
    return {at.x(), at.y(), metrics.horizontalAdvance(t.text) + 2, metrics.height() + 1};
}

void ResultArea::clear() {
    for (const ResultText &t : printed_) {
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

void ResultArea::print(int xTwips, int yTwips, const QString &text) {
    printed_.append({xTwips, yTwips, text});
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
    for (const ResultText &t : printed_) {
        const QPoint at = look::TwipsPoint(t.x, t.y);
        p.drawText(at.x(), at.y() + ascent, t.text);
    }
}

} // namespace lunex
