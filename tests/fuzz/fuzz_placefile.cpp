// The place file hely.txt, its zone field included: whatever it holds, the
// place read is on the Earth, its name kept to its limit without control
// characters, its zone a name of the database or none; saved, it reads back
// as the same place, so that a second save writes the same bytes.

#include "clock/civiltime.h"
#include "fuzzsupport.h"
#include "store/placefile.h"

using namespace lunex;
using namespace lunex::fuzz;

namespace {

QByteArray SavedAndRead(const test::AppDir &dir, const ObserverPlace &place) {
    Check(SaveObserverPlace(dir.path(), place) == FileProblem::None, "a place read saves");
    return dir.read(QStringLiteral("hely.txt"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const test::AppDir &dir = WriteDataFiles(Bytes(data, size), {"hely.txt"});
    const PlaceReading reading = LoadObserverPlace(dir.path());
    if (reading.unreadable) {
        return 0;
    }
    const ObserverPlace &place = reading.place;
    Check(place.name.size() <= PlaceNameLimit, "name within its limit");
    Check(std::none_of(place.name.begin(), place.name.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; }),
          "no control character in a name", place.name);
    Check(std::abs(place.place.latitude) <= 90 && std::abs(place.place.longitude) <= 180,
          "on the globe");
    Check(place.zone.isEmpty() || NamedZone(place.zone).has_value(), "a zone of the database",
          place.zone);
    const QByteArray first = SavedAndRead(dir, place);
    const PlaceReading back = LoadObserverPlace(dir.path());
    Check(!back.unreadable, "a saved place reads back");
    Check(back.place.zone == place.zone, "its zone reads back");
    const QByteArray second = SavedAndRead(dir, back.place);
    Check(second == first, "a second save writes the same",
          QString::fromLatin1(first.toHex() + " | " + second.toHex()));
    return 0;
}
