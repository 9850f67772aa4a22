#include "store/appdirs.h"

#include "lunex_version.h"

#include <QDir>
#include <QFileInfo>

namespace lunex {

AppDirs PrepareAppDirs(const QString &programDir, const QString &userDataDir) {
    const QFileInfo pic(programDir + QStringLiteral("/Pic"));
    if (pic.isDir() && pic.isWritable()) {
        return {programDir, programDir};
    }
    // A Pic that cannot be made shows at the first save, in its message.
    QDir().mkpath(userDataDir + QStringLiteral("/Pic"));
    return {QDir::cleanPath(programDir + u'/' + QLatin1String(ShareDirFromProgramDir)),
            userDataDir};
}

} // namespace lunex
