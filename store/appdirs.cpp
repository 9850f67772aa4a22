#include "store/appdirs.h"

#include "lunex_version.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lunex {

AppDirs LocateAppDirs(const QString &programDir, const QString &userDataDir) {
    const QFileInfo pic(programDir + QStringLiteral("/Pic"));
    if (pic.isDir() && pic.isWritable()) {
        return {programDir, programDir};
    }
    return {QDir::cleanPath(programDir + u'/' + QLatin1String(ShareDirFromProgramDir)),
            userDataDir};
}

AppDirs PrepareAppDirs(const QString &programDir, const QString &userDataDir) {
    const AppDirs dirs = LocateAppDirs(programDir, userDataDir);
    if (dirs.data != programDir) {
        // A Pic that cannot be made shows at the first save, in its message.
        QDir().mkpath(userDataDir + QStringLiteral("/Pic"));
    }
    return dirs;
}

QString UserDataDir() {
    // Not the application's own data location: each companion program has a
    // name of its own, and all of them share the window program's files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' +
           QLatin1String(AppName);
}

} // namespace lunex
