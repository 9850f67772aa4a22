#include "store/gshhgfile.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace lunex {
namespace {

// One binned file, opened from its bytes. The library is not safe from
// several threads at once; its one reader is a process of its own.
class BinnedFile {
public:
    explicit BinnedFile(const QByteArray &bytes) : bytes_(bytes) {
        open_ = nc_open_mem("gshhg", NC_NOWRITE, std::size_t(bytes_.size()), bytes_.data(), &id_) ==
                NC_NOERR;
    }
    ~BinnedFile() {
        if (open_) {
            nc_close(id_);
        }
    }
    BinnedFile(const BinnedFile &) = delete;
    BinnedFile &operator=(const BinnedFile &) = delete;

    bool isOpen() const { return open_; }

    // The whole variable, when it has the expected length (any when `length` is 0).
    template <typename T> std::optional<std::vector<T>> read(const char *name, std::size_t length) {
        int var = 0, dims = 0;
        int dim[NC_MAX_VAR_DIMS];
        if (nc_inq_varid(id_, name, &var) != NC_NOERR ||
            nc_inq_varndims(id_, var, &dims) != NC_NOERR || dims != 1 ||
            nc_inq_vardimid(id_, var, dim) != NC_NOERR) {
            return std::nullopt;
        }
        std::size_t size = 0;
        if (nc_inq_dimlen(id_, dim[0], &size) != NC_NOERR || (length != 0 && size != length)) {
            return std::nullopt;
        }
        std::vector<T> values(size);
        const std::size_t start = 0;
        int status = NC_NOERR;
        if (size > 0) {
            if constexpr (std::is_same_v<T, int>) {
                status = nc_get_vara_int(id_, var, &start, &size, values.data());
            } else {
                status = nc_get_vara_short(id_, var, &start, &size, values.data());
            }
        }
        return status == NC_NOERR ? std::optional(std::move(values)) : std::nullopt;
    }
    std::optional<int> scalar(const char *name) {
        const std::optional<std::vector<int>> value = read<int>(name, 1);
        return value ? std::optional(value->front()) : std::nullopt;
    }

private:
    QByteArray bytes_;
    int id_ = 0;
    bool open_ = false;
};

// What the two kinds of file share: 5° bins (or another size), numbered row
// by row from the north, each from 0° eastwards; each point is given inside
// its bin in 1/65535 of the bin's side.
struct Bins {
    int size = 0; // minutes
    int columns = 0;
    int rows = 0;
    std::vector<int> firstSegment;
    std::vector<short> segments;
    int segmentCount = 0;
    int pointCount = 0;
    std::vector<short> dx, dy;

    bool read(BinnedFile &file) {
        const auto size_ = file.scalar("Bin_size_in_minutes");
        const auto columns_ = file.scalar("N_bins_in_360_longitude_range");
        const auto rows_ = file.scalar("N_bins_in_180_degree_latitude_range");
        const auto segments_ = file.scalar("N_segments_in_file");
        const auto points_ = file.scalar("N_points_in_file");
        if (!size_ || !columns_ || !rows_ || !segments_ || !points_ || *size_ <= 0 ||
            *columns_ <= 0 || *rows_ <= 0 || *columns_ * *size_ != 360 * 60 ||
            *rows_ * *size_ != 180 * 60 || *segments_ < 0 || *points_ < 0) {
            return false;
        }
        size = *size_;
        columns = *columns_;
        rows = *rows_;
        segmentCount = *segments_;
        pointCount = *points_;
        const std::size_t bins = std::size_t(columns) * std::size_t(rows);
        auto first = file.read<int>("Id_of_first_segment_in_a_bin", bins);
        auto counts = file.read<short>("N_segments_in_a_bin", bins);
        auto x =
            file.read<short>("Relative_longitude_from_SW_corner_of_bin", std::size_t(pointCount));
        auto y =
            file.read<short>("Relative_latitude_from_SW_corner_of_bin", std::size_t(pointCount));
        if (!first || !counts || !x || !y) {
            return false;
        }
        firstSegment = std::move(*first);
        segments = std::move(*counts);
        dx = std::move(*x);
        dy = std::move(*y);
        return true;
    }

    // The bins the region touches, each with the shift (a multiple of 360°)
    // that brings its longitudes into the region's span.
    template <typename Visit> void forEachBin(const MapRegion &region, Visit visit) const {
        const double side = size / 60.0;
        for (int row = 0; row < rows; ++row) {
            const double south = 90.0 - (row + 1) * side;
            if (south >= region.north || south + side <= region.south) {
                continue;
            }
            for (int column = 0; column < columns; ++column) {
                const double west = column * side;
                for (double shift = -360; shift <= 360; shift += 360) {
                    if (west + shift < region.east && west + shift + side > region.west) {
                        visit(row * columns + column, west + shift, south);
                    }
                }
            }
        }
    }

    QPointF pointAt(int index, double west, double south) const {
        const double side = size / 60.0;
        return {west + std::uint16_t(dx[std::size_t(index)]) * side / 65535.0,
                south + std::uint16_t(dy[std::size_t(index)]) * side / 65535.0};
    }

    // The lines of the segments in the region's bins, as `describe` tells
    // each segment's first point, length and kind (none for one not drawn);
    // false when a segment or a bin points outside the file.
    template <typename Describe>
    bool collect(const MapRegion &region, Describe describe, std::vector<ShoreLine> &lines) const {
        bool sound = true;
        forEachBin(region, [&](int bin, double west, double south) {
            const int firstOfBin = firstSegment[std::size_t(bin)];
            const int count = segments[std::size_t(bin)];
            if (count < 0 || firstOfBin < 0 || firstOfBin > segmentCount - count) {
                sound = false;
                return;
            }
            for (int s = firstOfBin; s < firstOfBin + count && sound; ++s) {
                const auto [start, points, kind] = describe(std::size_t(s));
                if (start < 0 || points < 0 || start > pointCount - points) {
                    sound = false;
                } else if (points >= 2 && kind) {
                    ShoreLine line{*kind, {}};
                    line.points.reserve(points);
                    for (int p = start; p < start + points; ++p) {
                        line.points.append(pointAt(p, west, south));
                    }
                    lines.push_back(std::move(line));
                }
            }
        });
        return sound;
    }
};

struct Segment {
    int start = 0;
    int points = 0;
    std::optional<ShoreKind> kind;
};

// The shorelines' segments pack their length, level and where they enter and
// leave the bin into one number: the length above the ninth bit, the level
// (1 the sea's shore, 2 a lake's, 3 an island's in a lake, 4 a pond's on that
// island) in the three bits above the sixth.
bool ReadCoasts(BinnedFile &file, const MapRegion &region, std::vector<ShoreLine> &lines) {
    Bins bins;
    if (!bins.read(file)) {
        return false;
    }
    const std::size_t segments = std::size_t(bins.segmentCount);
    const auto info = file.read<int>("Embedded_npts_levels_exit_entry_for_a_segment", segments);
    const auto first = file.read<int>("Id_of_first_point_in_a_segment", segments);
    return info && first &&
           bins.collect(
               region,
               [&](std::size_t s) {
                   const int level = ((*info)[s] >> 6) & 7;
                   return Segment{
                       (*first)[s], int(unsigned((*info)[s]) >> 9),
                       level == 0 ? std::nullopt
                                  : std::optional(level == 1 ? ShoreKind::Coast : ShoreKind::Lake)};
               },
               lines);
}

// Borders of level 1 are those between countries (2 runs inside a country,
// 3 at sea).
bool ReadBorders(BinnedFile &file, const MapRegion &region, std::vector<ShoreLine> &lines) {
    Bins bins;
    if (!bins.read(file)) {
        return false;
    }
    const std::size_t segments = std::size_t(bins.segmentCount);
    const auto length = file.read<short>("N_points_for_a_segment", segments);
    const auto level = file.read<short>("Hierarchial_level_of_a_segment", segments);
    const auto first = file.read<int>("Id_of_first_point_in_a_segment", segments);
    return length && level && first &&
           bins.collect(
               region,
               [&](std::size_t s) {
                   return Segment{(*first)[s], (*length)[s],
                                  (*level)[s] == 1 ? std::optional(ShoreKind::Border)
                                                   : std::nullopt};
               },
               lines);
}

} // namespace

std::optional<std::vector<ShoreLine>> ReadGshhgFile(const QByteArray &bytes, GshhgFile file,
                                                    const MapRegion &region) {
    BinnedFile binned(bytes);
    std::vector<ShoreLine> lines;
    if (!binned.isOpen() || !(file == GshhgFile::Coasts ? ReadCoasts(binned, region, lines)
                                                        : ReadBorders(binned, region, lines))) {
        return std::nullopt;
    }
    return lines;
}

} // namespace lunex
