#pragma once

#include <QString>

namespace lunex {

// The two places of Lunex's files. Each holds a Pic directory, and a file's
// path is the place followed by its relative path (AppPath).
struct AppDirs {
    QString pictures; // the phase pictures, the pictures by day and the map: only read
    QString data; // ujhold.txt, utolso.txt, ujholdak.txt and hely.txt; empty when the user has none
};

// The user's folder for the data files when installed, whichever program
// asks, by the XDG rules: $XDG_DATA_HOME/lunex when that is a full path (a
// relative one is ignored), else $HOME/.local/share/lunex; empty when HOME is
// unset, empty or relative too.
QString UserDataDir();

// Portable when the Pic directory beside the program exists and the user may
// write to it (the build tree, a copied folder): both places are the program's
// directory. Installed otherwise: the data files are the user's, in
// `userDataDir` (UserDataDir), whose Pic is made here when it is missing, and
// none at all without it. The pictures are those of the program's own Pic
// when it holds them (a copy on a read-only medium), else the install's,
// found from the program's directory so that a moved prefix still works.
AppDirs PrepareAppDirs(const QString &programDir, const QString &userDataDir);
// The same places without making anything: for the companion programs, which
// only read the data files. They stand beside `lunex`, so they find its files.
AppDirs LocateAppDirs(const QString &programDir, const QString &userDataDir);

} // namespace lunex
