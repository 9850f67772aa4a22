#include "artwork/inputfile.h"

#include "store/fileio.h"

#include <QFileInfo>

namespace lunex::artwork {

bool IsReadableFile(const QString &path, QString *error) {
    QString why;
    if (!QFileInfo::exists(path)) {
        why = QStringLiteral("nincs ilyen fájl");
    } else if (!IsOrdinaryFile(path)) {
        why = QStringLiteral("nem közönséges fájl");
    }
    if (error && !why.isEmpty()) {
        *error = why;
    }
    return why.isEmpty();
}

} // namespace lunex::artwork
