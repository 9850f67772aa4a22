#pragma once

#include "store/fileio.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace lunex {

// Whether the bytes are a whole GIF or JPEG file: every block the format
// announces is there, up to its end marker. Qt's readers decode a truncated
// file without complaint and show the missing part grey or black.
bool IsCompletePicture(QByteArrayView bytes);

// The bytes of a picture file: an ordinary file of at most PictureFileLimit
// bytes (PictureTooLarge when it goes on).
ReadResult ReadPictureBytes(const QString &path);

// The bytes of a picture file of the Pic directory, or nothing, and why, when
// it is missing, unreadable, too large or not whole (FileProblem::None).
ReadResult ReadPictureFile(const QString &path);

} // namespace lunex
