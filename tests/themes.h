#pragma once

// Desktop themes for the windows to be drawn under, and what a drawing shows.

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace lunex::test {

// A dark desktop scheme, light text on dark grey, as qt6ct's "darker" sets it.
inline QPalette DarkPalette() {
    QPalette dark;
    const QColor light(232, 232, 232);
    for (const auto &[role, colour] : {std::pair{QPalette::Window, QColor(48, 48, 48)},
                                       {QPalette::WindowText, light},
                                       {QPalette::Base, QColor(32, 32, 32)},
                                       {QPalette::Text, light},
                                       {QPalette::Button, QColor(64, 64, 64)},
                                       {QPalette::ButtonText, light},
                                       {QPalette::PlaceholderText, QColor(160, 160, 160)}}) {
        dark.setColor(role, colour);
    }
    return dark;
}

// How many pixels of the box are exactly the colour.
inline int PixelsOf(const QImage &image, const QRect &box, const QColor &colour) {
    int count = 0;
    const QRect inside = box & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += image.pixelColor(x, y).rgb() == colour.rgb();
        }
    }
    return count;
}

// Whether the box shows text in `text` on `background`: most of it the
// background, and some pixels fully inked in the text colour.
inline bool DrawnIn(const QImage &image, const QRect &box, const QColor &text,
                    const QColor &background) {
    const int area = (box & image.rect()).width() * (box & image.rect()).height();
    return PixelsOf(image, box, text) >= 5 && PixelsOf(image, box, background) * 2 > area;
}

// The contrast ratio of two colours, 1 to 21, as the WCAG measures it.
inline double Contrast(const QColor &a, const QColor &b) {
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace lunex::test
