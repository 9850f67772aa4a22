#pragma once

#include "lunar/visibilitymap.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <vector>

// The coastlines, lakes and country borders of a region, from the binned
// GSHHG files that GMT reads (Debian's gmt-gshhg-low installs them).
namespace lunex {

enum class ShoreKind { Coast, Lake, Border };

struct ShoreLine {
    ShoreKind kind = ShoreKind::Coast;
    // x is the longitude, y the latitude, in degrees; the longitudes run in
    // the region's own span, past 180° where the region passes it.
    QList<QPointF> points;
};

struct Shorelines {
    std::vector<ShoreLine> lines;
    QString problem; // why there are none (a sentence to show); empty when read
};

// The program that reads the files, lunex-shorelines, runs as a process of
// its own: its libraries (netCDF over HDF5, with curl and TLS beneath) stay
// out of the programs that draw the maps, and a damaged file that brings
// them down takes only that process with it.
struct ShorelineReader {
    QString program;
    int timeLimitMs = 20000; // a reader still at work then is stopped
};

// The reader that came with the running program, found from the program's
// own folder: <prefix>/libexec/lunex for <prefix>/bin, so that a moved
// prefix keeps it; in the build tree, libexec/lunex of the build's root,
// from the programs there and from the suites' folder one below it.
ShorelineReader InstalledShorelineReader();

// Where the build was told the GSHHG files are.
QString ShorelineFolder();

// The lines that cross the region, at the detail its size needs. Every fault
// of the files (missing, not a file, cut short, numbers out of their range,
// one that the reader dies or hangs on) and of the reader (missing, or a
// reply that is not the lines) gives no lines and says why.
Shorelines ReadShorelines(const QString &folder, const MapRegion &region,
                          const ShorelineReader &reader = InstalledShorelineReader());

} // namespace lunex
