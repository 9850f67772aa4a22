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

// Where the build was told the GSHHG files are.
QString ShorelineFolder();

// The lines that cross the region, at the detail its size needs. Every fault
// of the files (missing, not a file, cut short, numbers out of their range)
// gives no lines and says why.
Shorelines ReadShorelines(const QString &folder, const MapRegion &region);

} // namespace lunex
