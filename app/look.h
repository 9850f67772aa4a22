#pragma once

// The look every window of Lunex shares: twips, the font substitution, fixed
// colours and the program's icon.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWidget;
class QAbstractButton;

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

// A push button with a coloured face that no theme repaints.
void StyleButton(QAbstractButton *button, const QColor &face, const QFont &font);

// The 32 x 32 icon all windows of Lunex carry: drawn here, never missing.
QIcon AppIcon();
QImage AppIconImage();

// The main window's banner: the Moon's phases in a row, 300 x 42.
QImage BannerImage();

} // namespace lunex::look
