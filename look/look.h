#pragma once

// The look every window of Lunex shares: twips, the font substitution, fixed
// colours and the program's icon.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>

#include <QMessageBox>

#include "look/colours.h"

class QWidget;
class QAbstractButton;
class QLabel;
class QPainter;
class QPushButton;
class QStyle;

namespace lunex::look {

// Window layouts are given in twips: 15 to a device-independent pixel.
constexpr int Px(int twips) {
    return (twips + 7) / 15;
}
inline QRect TwipsRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}
inline QPoint TwipsPoint(int x, int y) {
    return {Px(x), Px(y)};
}

// The fonts the windows were designed with, and what stands in for them on
// Linux. The substitution lives here only, so that it stays visible and
// changeable: the Liberation families of Debian's fonts-liberation are
// metric-compatible with the Windows originals.
enum class Face {
    TimesNewRomanCE, // Liberation Serif
    TimesNewRoman,   // Liberation Serif
    Arial,           // Liberation Sans
    ArialNarrow,     // Liberation Sans Narrow
    MSSansSerif,     // Liberation Sans: a plain sans serif
    HeavySans,       // Liberation Sans at weight 900
};
QString FamilyFor(Face face);
QFont Font(Face face, double points, bool bold = false);

// Fixes a widget's background and text colours whatever the desktop theme
// says, for the widget and the children that inherit its palette.
void SetColours(QWidget *widget, const QColor &background, const QColor &text);

// A push button with a coloured face that no theme repaints. The focused
// button wears a frame in `focusFrame`, which must stand out from what the
// button sits on.
void StyleButton(QAbstractButton *button, const QColor &face, const QFont &font,
                 const QColor &focusFrame);

// A field or a list on one of the light windows: black on white whatever the
// theme, in a grey frame that turns black and thicker with the keyboard focus,
// the selected line white on navy.
void StyleLightField(QWidget *field);

// The decorative lines and outline frames of a window design, drawn by the
// window's paintEvent at twips coordinates. A frame stays inside its box, as
// the designer's outline shapes do.
void DrawTwipsLine(QPainter &painter, int x1, int y1, int x2, int y2, const QColor &colour,
                   Qt::PenStyle style = Qt::SolidLine);
void DrawTwipsFrame(QPainter &painter, int left, int top, int width, int height,
                    const QColor &border, const QBrush &fill = Qt::NoBrush);

// A fixed caption at its twips box, as the window designs place them: plain
// text (blanks kept), wrapped at word boundaries, from the box's top.
QLabel *AddLabel(QWidget *parent, const char *name, const QString &text, const QRect &box,
                 const QFont &font, Qt::Alignment horizontal = Qt::AlignLeft);

// A button at its twips box with a coloured face. Enter presses it while it
// has the focus, as it does on the Windows the designs come from.
QPushButton *AddButton(QWidget *parent, const char *name, const QString &text, const QRect &box,
                       const QColor &face, const QFont &font, const QColor &focusFrame = Black);

// Places a top-level window's client area in the middle of its screen's
// available area; call before the window is shown.
void CentreOnScreen(QWidget *window);

// Where a window of `size` (its frame included) covers none of `keepClear`,
// inside `room`: beside it, right or left, or below or above it. Where the room
// has no such place, the one of these that covers least of it.
QPoint PlaceClearOf(const QSize &size, const QRect &keepClear, const QRect &room);
// Moves a top-level window, before it is shown, clear of another window on
// that window's screen, reckoning with the desktop's window frames.
void PlaceClearOf(QWidget *window, const QWidget *other);

// The modal message box of every window: the caption "Lunex", one OK button,
// the exclamation mark for a warning and the stop sign for a critical failure.
void ShowMessageBox(QWidget *parent, const QString &text, QMessageBox::Icon icon);

// The style of the windows: the platform's (or the one `-style` names), but
// for one icon that is never shown, whose reading costs the start much.
QStyle *NewAppStyle();

// The icon all windows of Lunex carry (32 x 32): drawn here, never missing,
// and drawn afresh at each size and device-pixel ratio asked for. The
// installed icon files are drawn by the same painting at every size.
QIcon AppIcon();
QImage AppIconImage(int size = 32);
void PaintAppIcon(QPainter &painter, const QRectF &box);

// The main window's banner: the Moon's phases in a row, 300 x 42 device-
// independent pixels from the painter's origin, crisp at any device-pixel
// ratio; and as an image at a given ratio.
void PaintBanner(QPainter &painter);
QImage BannerImage(qreal devicePixelRatio = 1);

} // namespace lunex::look
