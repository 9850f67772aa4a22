#pragma once

#include <QString>

namespace lunex {

// The two places of Lunex's files. Each holds a Pic directory, and a file's
// path is the place followed by its relative path (AppPath).
struct AppDirs {
    QString pictures; // the phase pictures, the pictures by day and the map: only read
    QString data;     // ujhold.txt, utolso.txt, ujholdak.txt and hely.txt
};

// Portable when the Pic directory beside the program exists and the user may
// write to it (the build tree, a copied folder): both places are the program's
// directory. Installed otherwise: the pictures are the install's, found from the
// program's directory so that a moved prefix still works, and the data files
// are the user's, in `userDataDir`, whose Pic is made here when it is missing.
AppDirs PrepareAppDirs(const QString &programDir, const QString &userDataDir);
// The same places without making anything: for the companion programs, which
// only read the data files. They stand beside `lunex`, so they find its files.
AppDirs LocateAppDirs(const QString &programDir, const QString &userDataDir);

// The user's folder of the data files when installed, whichever program asks:
// ~/.local/share/lunex ($XDG_DATA_HOME/lunex when that is set).
QString UserDataDir();

} // namespace lunex
