#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace lunex::artwork {

// A grey picture as a GIF with a palette of 256 grey levels, so that no level is lost.
// Qt has no GIF writer; giflib is the well-kept one.
std::optional<QByteArray> EncodeGreyGif(const QImage &image, QString *error);

} // namespace lunex::artwork
