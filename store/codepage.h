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

// A data file a user may have written in an editor: UTF-8 where the bytes are
// valid UTF-8, with or without the mark an editor puts first; else
// Windows-1250. Text in Windows-1250 with any accented letter is almost never
// valid UTF-8, and plain ASCII reads alike in both.
QString DecodeTextFile(QByteArrayView bytes);

} // namespace lunex
