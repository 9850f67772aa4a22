#pragma once

#include <QFont>

#include <algorithm>
#include <cmath>

namespace lunex {

// The drawings' one face, sized in pixels so that a picture looks the same
// on every screen; never smaller than legible.
inline QFont ChartFont(double pixels, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(8, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

} // namespace lunex
