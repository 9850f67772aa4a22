#include "artwork/inputfile.h"

#include <QFileInfo>

namespace lunex::artwork {

bool IsReadableFile(const QString &path, QString *error) {
    const QFileInfo info(path);
    QString why;
    if (!info.exists()) {
        why = QStringLiteral("nincs ilyen fájl");
    } else if (!info.isFile()) {
        why = QStringLiteral("nem közönséges fájl");
    }
    if (error && !why.isEmpty()) {
        *error = why;
    }
    return why.isEmpty();
}

} // namespace lunex::artwork
