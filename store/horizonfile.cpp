#include "store/horizonfile.h"

#include "store/codepage.h"
#include "store/datafiles.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/placefile.h"

#include <QFileInfo>
#include <QStringList>

namespace lunex {
namespace {

// Says what the file is to whoever opens it in an editor; the reading skips
// it as any comment.
const QString HorizonFileHeading =
    QStringLiteral("# Lunex: a megfigyelési hely saját horizontja, soronként azimut és magasság "
                   "fokban");

} // namespace

HorizonFileReading LoadHorizon(const QString &dataDir) {
    const QString path = AppPath(dataDir, HorizonFile);
    const QString name = FileNameOf(HorizonFile);
    // A place without a skyline of its own has no file, and nothing to report.
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        return {};
    }
    const ReadResult read = ReadAllBytes(path);
    if (!read.bytes) {
        return {{}, true, HorizonFileFallbackMessage(name, read.problem)};
    }
    const HorizonReading reading = ReadHorizonList(DecodeTextFile(*read.bytes));
    return {reading.profile, false,
            reading.badLines.isEmpty() ? QString()
                                       : HorizonBadLinesMessage(name, reading.badLines)};
}

HorizonFileReading LoadStoredPlaceHorizon(const QString &dataDir) {
    if (!IsOrdinaryFile(AppPath(dataDir, PlaceFile)) || LoadObserverPlace(dataDir).unreadable) {
        return {};
    }
    return LoadHorizon(dataDir);
}

FileProblem SaveHorizon(const QString &dataDir, const HorizonProfile &skyline) {
    const QString path = AppPath(dataDir, HorizonFile);
    if (skyline.isFlat()) {
        // Where there never was a skyline, a flat one leaves no empty file.
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
            return FileProblem::None;
        }
        return WriteDataFile(path, {});
    }
    QStringList lines{HorizonFileHeading};
    lines += HorizonListText(skyline).split(u'\n', Qt::SkipEmptyParts);
    return WriteDataFile(path, ListFileBytes(lines));
}

} // namespace lunex
