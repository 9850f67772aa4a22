#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace lunex {

// The data files are single-byte Windows-1250 text, so that files written by
// earlier versions on other systems stay readable, and back.
QString DecodeAnsi(QByteArrayView bytes);

// A character that Windows-1250 cannot represent is written as '?': Qt's own
// encoder would write 0x1A (SUB), a control character that has no business in
// a text file a user may open in an editor. A space it cannot represent
// (U+2000-U+200A, U+202F, U+3000, ...) is written as a blank, 0x20.
QByteArray EncodeAnsi(QStringView text);

} // namespace lunex
