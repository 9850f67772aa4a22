// The skyline: a horizon list as typed or loaded, and horizont.txt as the
// store reads it. Every point is on the circle and within the altitudes an
// observer measures, and the list the profile is written as reads back,
// with no bad line, as a profile written as the same list.

#include "fuzzsupport.h"
#include "lunar/horizon.h"
#include "store/horizonfile.h"

using namespace lunex;
using namespace lunex::fuzz;

namespace {

void CheckProfile(const HorizonProfile &profile) {
    for (const SkylinePoint &p : profile.points()) {
        Check(p.azimuth >= 0 && p.azimuth < 360, "azimuth on the circle",
              QString::number(p.azimuth));
        Check(p.altitude >= LowestSkyline && p.altitude <= HighestSkyline, "altitude measured",
              QString::number(p.altitude));
    }
    // Written to a few decimals, then read: the same list again.
    const QString text = HorizonListText(profile);
    const HorizonReading again = ReadHorizonList(text);
    Check(again.badLines.isEmpty(), "its list has no bad line");
    Check(HorizonListText(again.profile) == text, "its list reads back the same",
          text + QStringLiteral(" | ") + HorizonListText(again.profile));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = Bytes(data, size).toByteArray();
    CheckProfile(ReadHorizonList(QString::fromUtf8(bytes)).profile);
    const test::AppDir &dir = WriteDataFiles(bytes, {"horizont.txt"});
    const HorizonFileReading stored = LoadHorizon(dir.path());
    Check(!stored.unreadable, "an ordinary file is read");
    CheckProfile(stored.skyline);
    return 0;
}
