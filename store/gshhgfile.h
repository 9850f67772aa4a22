#pragma once

#include "lunar/visibilitymap.h"
#include "store/shorelines.h"

#include <QByteArray>

#include <optional>
#include <vector>

// GMT's binned GSHHG files, read with libnetcdf (they are netCDF-4, that is
// HDF5, files). Only lunex-shorelines links this: the libraries are large,
// and a damaged file can bring them down with the process that reads it.
namespace lunex {

enum class GshhgFile { Coasts, Borders };

// The lines of one binned file, given as its bytes, that cross the region;
// nothing when the bytes are not such a file or a number in it points outside it.
std::optional<std::vector<ShoreLine>> ReadGshhgFile(const QByteArray &bytes, GshhgFile file,
                                                    const MapRegion &region);

} // namespace lunex
