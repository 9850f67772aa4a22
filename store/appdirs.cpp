#include "store/appdirs.h"

#include "lunar/lunarage.h"
#include "lunex_version.h"
#include "store/paths.h"

#include <QDir>
#include <QFileInfo>

namespace lunex {
namespace {

// Whether the program's own Pic can be read and holds the pictures.
bool HoldsPictures(const QString &programDir) {
    const QFileInfo picture(AppPath(programDir, PhasePictureFile(PhaseBands.front())));
    return picture.isFile() && picture.isReadable();
}

} // namespace

// Written out rather than asked of QStandardPaths: it takes a relative
// XDG_DATA_HOME and an unset HOME at face value, and would put the files
// under whatever folder the program was started from, or at the root.
QString UserDataDir() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home)) {
            return {};
        }
        base = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(base + u'/' + QLatin1String(AppName));
}

AppDirs LocateAppDirs(const QString &programDir, const QString &userDataDir) {
    const QFileInfo pic(programDir + QStringLiteral("/Pic"));
    if (pic.isDir() && pic.isWritable()) {
        return {programDir, programDir};
    }
    return {HoldsPictures(programDir)
                ? programDir
                : QDir::cleanPath(programDir + u'/' + QLatin1String(ShareDirFromProgramDir)),
            userDataDir};
}

AppDirs PrepareAppDirs(const QString &programDir, const QString &userDataDir) {
    const AppDirs dirs = LocateAppDirs(programDir, userDataDir);
    // A Pic that cannot be made shows at the first save, in its message.
    if (dirs.data != programDir && !userDataDir.isEmpty()) {
        QDir().mkpath(userDataDir + QStringLiteral("/Pic"));
    }
    return dirs;
}

} // namespace lunex
