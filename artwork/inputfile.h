#pragma once

#include <QString>

namespace lunex::artwork {

// Opening a FIFO would wait for a writer for ever, and a device may never end:
// only an ordinary file (or a link to one) is read.
bool IsReadableFile(const QString &path, QString *error);

} // namespace lunex::artwork
