// lunex-shorelines: the reader of GSHHG's binned files for the regional maps,
// which run it as a process of their own (store/shorelines.h). One file's
// bytes come on standard input; the lines that cross the region go to
// standard output in the form of store/shorelinetext.h.

#include "store/gshhgfile.h"
#include "store/shorelinetext.h"

#include <QByteArrayView>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// The region of the command line: south, west, north and east.
std::optional<lunex::MapRegion> RegionOf(char *corners[]) {
    double numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = QByteArrayView(corners[i]).toDouble(&ok);
        if (!ok || !std::isfinite(numbers[i])) {
            return std::nullopt;
        }
    }
    if (numbers[0] >= numbers[2] || numbers[1] >= numbers[3]) {
        return std::nullopt;
    }
    return lunex::MapRegion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

} // namespace

int main(int argc, char *argv[]) {
    using namespace lunex;
    const QByteArrayView kind(argc == 6 ? argv[1] : "");
    const std::optional<MapRegion> region = argc == 6 ? RegionOf(argv + 2) : std::nullopt;
    if ((kind != CoastsArgument && kind != BordersArgument) || !region) {
        std::fputs("Használat: lunex-shorelines coasts|borders DÉL NYUGAT ÉSZAK KELET < FÁJL\n"
                   "A térképek futtatják; a GSHHG egy bináris fájljából kiírja a terület "
                   "vonalait.\n",
                   stderr);
        return ExitUsage;
    }
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        return ExitFailure;
    }
    const std::optional<std::vector<ShoreLine>> lines = ReadGshhgFile(
        input.readAll(), kind == CoastsArgument ? GshhgFile::Coasts : GshhgFile::Borders, *region);
    if (!lines) {
        return DamagedShorelineFile;
    }
    const QByteArray reply = ShoreLinesText(*lines);
    const bool written = std::fwrite(reply.constData(), 1, std::size_t(reply.size()), stdout) ==
                         std::size_t(reply.size());
    return written && std::fflush(stdout) == 0 ? 0 : ExitFailure;
}
