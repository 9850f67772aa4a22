#pragma once

#include <QImage>
#include <QString>

namespace lunex {

// The equirectangular Earth the crescent's maps are drawn on, where the build
// was told it is installed.
QString EarthTexturePath();

struct EarthTexture {
    QImage image;    // null when it cannot be had: the map gets a plain background
    QString problem; // then the sentence that says why; empty otherwise
};

// The Earth's picture, read as the store reads its pictures: only an ordinary
// file (a FIFO would wait for a writer) of at most the pictures' size limit.
EarthTexture LoadEarthTexture(const QString &path);

} // namespace lunex
