#include "look/look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIconEngine>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "lunex_version.h"

namespace lunex::look {

QString FamilyFor(Face face) {
    switch (face) {
    case Face::TimesNewRomanCE:
    case Face::TimesNewRoman:
        return QStringLiteral("Liberation Serif");
    case Face::ArialNarrow:
        return QStringLiteral("Liberation Sans Narrow");
    case Face::Arial:
    case Face::MSSansSerif:
    case Face::HeavySans:
        break;
    }
    return QStringLiteral("Liberation Sans");
}

QFont Font(Face face, double points, bool bold) {
    QFont font(FamilyFor(face));
    font.setPointSizeF(points);
    font.setWeight(face == Face::HeavySans ? QFont::Black : bold ? QFont::Bold : QFont::Normal);
    // Should the family be missing, fall back to the same kind of face.
    font.setStyleHint(face == Face::TimesNewRomanCE || face == Face::TimesNewRoman
                          ? QFont::Serif
                          : QFont::SansSerif);
    return font;
}

void SetColours(QWidget *widget, const QColor &background, const QColor &text) {
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void StyleButton(QAbstractButton *button, const QColor &face, const QFont &font,
                 const QColor &focusFrame) {
    button->setFont(font);
    // A style sheet, because palettes alone are ignored by several styles for
    // button faces. The focus frame stands a pixel off the face, so that it
    // shows against a face of nearly its own colour too.
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                         " border: 1px solid #404040; border-radius: 2px; }"
                                         "QPushButton:focus { border: 2px solid %3; padding: 1px;"
                                         " background-clip: content; }"
                                         "QPushButton:pressed { background-color: %2; }")
                              .arg(face.name(), face.darker(115).name(), focusFrame.name()));
}

void StyleLightField(QWidget *field) {
    SetColours(field, ClassicField, ClassicWindowText);
    QPalette palette = field->palette();
    palette.setColor(QPalette::PlaceholderText, Grey);
    field->setPalette(palette);
    field->setStyleSheet(
        QStringLiteral("QLineEdit, QAbstractItemView { background-color: %1; color: %2;"
                       " border: 1px solid %3; padding: 2px;"
                       " selection-background-color: rgb(0,0,128); selection-color: white; }"
                       "QLineEdit:focus, QAbstractItemView:focus { border: 2px solid %2;"
                       " padding: 1px; }")
            .arg(ClassicField.name(), ClassicWindowText.name(), Grey.name()));
}

void DrawTwipsLine(QPainter &painter, int x1, int y1, int x2, int y2, const QColor &colour,
                   Qt::PenStyle style) {
    painter.save();
    painter.setPen(QPen(colour, 1, style));
    painter.drawLine(TwipsPoint(x1, y1), TwipsPoint(x2, y2));
    painter.restore();
}

void DrawTwipsFrame(QPainter &painter, int left, int top, int width, int height,
                    const QColor &border, const QBrush &fill) {
    painter.save();
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    // A one-pixel pen draws one pixel right of and below the rectangle.
    painter.drawRect(TwipsRect(left, top, width, height).adjusted(0, 0, -1, -1));
    painter.restore();
}

QLabel *AddLabel(QWidget *parent, const char *name, const QString &text, const QRect &box,
                 const QFont &font, Qt::Alignment horizontal) {
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(true);
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setFont(font);
    label->setGeometry(box);
    return label;
}

QPushButton *AddButton(QWidget *parent, const char *name, const QString &text, const QRect &box,
                       const QColor &face, const QFont &font, const QColor &focusFrame) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(box);
    // Outside a QDialog a push button ignores Enter unless it is auto-default.
    button->setAutoDefault(true);
    StyleButton(button, face, font, focusFrame);
    return button;
}

void CentreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                            screen->availableGeometry()));
}

QPoint PlaceClearOf(const QSize &size, const QRect &keepClear, const QRect &room) {
    const auto inside = [&](QPoint at) {
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - size.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - size.height())));
        return at;
    };
    const QPoint candidates[] = {
        inside({keepClear.right() + 1, keepClear.top()}),
        inside({keepClear.left() - size.width(), keepClear.top()}),
        inside({keepClear.left(), keepClear.bottom() + 1}),
        inside({keepClear.left(), keepClear.top() - size.height()}),
    };
    const auto covered = [&](QPoint at) {
        const QRect overlap = QRect(at, size) & keepClear;
        return qint64(overlap.width()) * overlap.height();
    };
    return *std::min_element(std::begin(candidates), std::end(candidates),
                             [&](QPoint a, QPoint b) { return covered(a) < covered(b); });
}

void PlaceClearOf(QWidget *window, const QWidget *other) {
    const QScreen *screen = other->screen();
    if (screen == nullptr) {
        return;
    }
    const QSize frame = other->frameGeometry().size() - other->size();
    window->move(
        PlaceClearOf(window->size() + frame, other->frameGeometry(), screen->availableGeometry()));
}

void ShowMessageBox(QWidget *parent, const QString &text, QMessageBox::Icon icon) {
    QMessageBox box(icon, QString::fromUtf8(ShortTitle), text, QMessageBox::Ok, parent);
    box.setWindowIcon(AppIcon());
    box.exec();
}

namespace {

// The artwork's phases, as parts of a lunation: the icon's crescent is four
// and a half days old, the banner's thinnest two days.
constexpr double IconCrescent = 0.1524;
constexpr double ThinCrescent = 0.0677;

// A lit Moon of radius r at `centre`, `part` of a lunation past the new moon.
void DrawMoon(QPainter &p, QPointF centre, double r, double part) {
    const double phase = 2 * std::numbers::pi * part;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 48));
    p.drawEllipse(centre, r, r);
    // The terminator is an ellipse of half-width r * cos(phase).
    const double k = std::cos(phase);
    QPainterPath lit;
    const bool waxing = std::sin(phase) >= 0;
    const QRectF disc(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    // The lit limb: right half while waxing, left half while waning.
    lit.moveTo(centre.x(), centre.y() - r);
    lit.arcTo(disc, 90, waxing ? -180 : 180);
    const QRectF term(centre.x() - std::abs(k) * r, centre.y() - r, 2 * std::abs(k) * r, 2 * r);
    // Back along the terminator: bulging towards the lit side after quarter.
    const bool gibbous = k < 0;
    lit.arcTo(term, 270, (waxing == gibbous) ? -180 : 180);
    lit.closeSubpath();
    p.setBrush(QColor(235, 235, 215));
    p.drawPath(lit);
}

} // namespace

void PaintAppIcon(QPainter &painter, const QRectF &box) {
    // Designed on a 32 x 32 grid; scaled as a whole so every size is the same picture.
    constexpr double Grid = 32;
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / Grid, box.height() / Grid);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(10, 10, 30));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, Grid, Grid), 5, 5);
    DrawMoon(painter, {16, 16}, 12, IconCrescent);
    painter.restore();
}

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    PaintAppIcon(p, QRectF(0, 0, size, size));
    return image;
}

namespace {

// Paints the icon at each size asked for, so that the title bar, the task bar
// and a screen of any device-pixel ratio get it drawn at their size, never
// scaled from another.
class AppIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override {
        PaintAppIcon(*painter, rect);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QIconEngine *clone() const override { return new AppIconEngine; }
};

// Qt 6.4's styles give the menu bar's extension button an icon read from a
// PNG file, and Qt's image reader first loads every image format's plugin
// (SVG, GIF, ICO, JPEG, with their libraries) to ask each whether it reads
// PNG: a twentieth of the main window's start and a megabyte of its memory.
// The button shows only when the menus do not fit their bar, which in
// Lunex's fixed windows they always do.
class AppStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option,
                       const QWidget *widget) const override {
        return icon == SP_ToolBarHorizontalExtensionButton
                   ? QIcon()
                   : QProxyStyle::standardIcon(icon, option, widget);
    }
};

} // namespace

QStyle *NewAppStyle() {
    return new AppStyle(QApplication::style()->name());
}

QIcon AppIcon() {
    return QIcon(new AppIconEngine);
}

void PaintBanner(QPainter &painter) {
    painter.save();
    painter.fillRect(QRect(0, 0, 300, 42), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int count = 15;
    for (int i = 0; i < count; ++i) {
        // From a thin waxing crescent through full Moon to a thin waning one.
        const double part = ThinCrescent + (1 - 2 * ThinCrescent) * i / (count - 1);
        DrawMoon(painter, {10.0 + i * 20.0, 21.0}, 8.5, part);
    }
    painter.restore();
}

QImage BannerImage(qreal devicePixelRatio) {
    QImage image(QSize(300, 42) * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    PaintBanner(painter);
    return image;
}

} // namespace lunex::look
