#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace lunex {

// Whether the bytes are a whole GIF or JPEG file: every block the format
// announces is there, up to its end marker. Qt's readers decode a truncated
// file without complaint and show the missing part grey or black.
bool IsCompletePicture(QByteArrayView bytes);

// The bytes of a picture file of the Pic directory, or nothing when it is
// missing, unreadable or not whole.
std::optional<QByteArray> ReadPictureFile(const QString &path);

} // namespace lunex
