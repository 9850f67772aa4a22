#include "options.h"

#include "charts/earthtexture.h"
#include "clock/civiltime.h"
#include "lunar/newmoon.h"
#include "lunar/places.h"
#include "lunar/yearoverview.h"
#include "messages/messages.h"
#include "store/appdirs.h"
#include "store/horizonfile.h"
#include "store/placefile.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace lunex::crescents {
namespace {

constexpr int FirstYear = FirstServedYear;
constexpr int LastYear = LastServedYear;
constexpr int MaxLunations = 1200;

const char HelpText[] =
    "Használat:\n"
    "  lunex-crescents [--place NÉV | --lat FOK --lon FOK [--elev MÉTER]]\n"
    "                  [--from DÁTUM] [--months N] [--zone AZONOSÍTÓ | --utc]\n"
    "                  [--mornings | --both] [--horizon FÁJL]\n"
    "                  [--wide | --csv | --csv-hu | --ics FÁJL.ics]\n"
    "  lunex-crescents --year ÉV [--place NÉV | --lat FOK --lon FOK [--elev MÉTER]]\n"
    "                  [--zone AZONOSÍTÓ | --utc] [--csv | --csv-hu | --ics FÁJL.ics]\n"
    "  lunex-crescents --map DÁTUM [--morning] --out FÁJL.png [--criterion yallop|odeh]\n"
    "                  [--step FOK] [--region SZ1,H1,SZ2,H2] [--width KÉPPONT]\n"
    "                  [--texture FÁJL | --no-texture]\n"
    "  lunex-crescents --places | --help | --version\n"
    "\n"
    "Megmutatja, melyik estén látható először a fiatal holdsarló az újhold után: minden\n"
    "újholdhoz az újhold napjának és a következő három napnak az estéjét, a napnyugtával,\n"
    "a holdnyugtával, a legjobb időponttal, a sarló korával, a Hold helyével az égen és\n"
    "megvilágított részével, Yallop és Odeh feltételével. A --mornings az újhold előtti\n"
    "reggeleket adja (az újhold napjáét és az előtte levő három napét): mikor látható\n"
    "utoljára a fogyó holdsarló; a --both a reggeleket és az estéket időrendben.\n"
    "A dátumok 1582. október 15. előtt is a Gergely-naptár szerintiek (proleptikus\n"
    "Gergely-naptár), nem a Julián-naptár szerintiek.\n"
    "\n"
    "Kapcsolók:\n"
    "  --place NÉV        beépített hely (lista: --places); alapértelmezés: a lunex ablakában\n"
    "                     választott megfigyelési hely (hely.txt), ennek híján Budapest\n"
    "  --lat FOK          földrajzi szélesség, északon pozitív (-90 … 90)\n"
    "  --lon FOK          földrajzi hosszúság, keleten pozitív (-180 … 180)\n"
    "  --elev MÉTER       tengerszint feletti magasság (alapértelmezés: 0)\n"
    "  --from DÁTUM       ÉÉÉÉ-HH vagy ÉÉÉÉ-HH-NN: az első újhold ettől a naptól\n"
    "                     (alapértelmezés: a legutóbbi újhold, ha estéi még nem múltak el)\n"
    "  --months N         ennyi újhold (alapértelmezés: 12)\n"
    "  --zone AZONOSÍTÓ   IANA időzóna, például Europe/Budapest (alapértelmezés: a hely\n"
    "                     saját időzónája; a --lat/--lon helyé a rendszeré); az esték\n"
    "                     dátuma ekkor is a hely saját dátuma\n"
    "  --utc              világidő (UTC)\n"
    "  --mornings         az újhold előtti reggelek: napkelte, holdkelte, a legjobb időpont\n"
    "                     (napkelte − 4/9 késés), az utolsó látható reggel jelölve\n"
    "  --both             a reggelek és az esték együtt, időrendben\n"
    "  --horizon FÁJL     a hely saját horizontja: soronként azimut és magasság fokban\n"
    "                     (például 250 2; # után megjegyzés), más planetáriumprogramok\n"
    "                     horizontlistája is; a táblázat és a CSV megmondja, a Hold a\n"
    "                     legjobb időpontban fölötte áll-e, és mikor bukik mögé (reggel:\n"
    "                     mikor emelkedik fölé). Alapértelmezés: a tárolt hellyel a\n"
    "                     horizont.txt, a --place és a --lat/--lon mellett sík horizont\n"
    "  --wide             a teljes táblázat: ARCL, ARCV, DAZ, W′, q, V és Yallop osztályának\n"
    "                     jelentése is (alapértelmezés: a lényeg, 100 karakter szélesen)\n"
    "  --year ÉV          éves áttekintés (%1 … %2): az év minden újholdjához az utolsó\n"
    "                     reggel és az első este, amikor a holdsarló optikai eszközzel, és\n"
    "                     amikor szabad szemmel látható; az év újholdhoz legközelebbi ilyen\n"
    "                     holdsarlói a rekordesélyek (★)\n"
    "  --csv              CSV programoknak: vessző a cellák között, pont a tizedesjel,\n"
    "                     ISO 8601 időpontok\n"
    "  --csv-hu           CSV magyar táblázatkezelőknek: pontosvessző és tizedesvessző\n"
    "  --ics FÁJL.ics     táblázat helyett naptárfájl (iCalendar) azokról a reggelekről és\n"
    "                     estékről, amikor a holdsarló látható (Yallop A–D): holdkeltétől\n"
    "                     napkeltéig, napnyugtától holdnyugtáig, egy órával előtte\n"
    "                     emlékeztetővel; újra importálva frissül, nem kettőződik\n"
    "  --map DÁTUM        világtérkép ÉÉÉÉ-HH-NN estéjéről, helyenként a helyi este szerint\n"
    "  --morning          a térkép ÉÉÉÉ-HH-NN reggeléről, helyenként a helyi reggel szerint\n"
    "  --out FÁJL.png     ide kerül a térkép\n"
    "  --criterion NÉV    yallop (alapértelmezés) vagy odeh\n"
    "  --region SZ1,H1,SZ2,H2\n"
    "                     csak egy terület térképe, a két sarkának szélességével és\n"
    "                     hosszúságával (fokban, tizedesponttal), határokkal és\n"
    "                     partvonalakkal; H1 a nyugati, H2 a keleti széle (ha H2 < H1, a\n"
    "                     terület átnyúlik a 180°-os délkörön), például 41,10,56,36\n"
    "  --step FOK         a térkép rácsköze (alapértelmezés: 1, területnél 0,1; a 180\n"
    "                     osztója, 0,1 … 10)\n"
    "  --width KÉPPONT    a kép szélessége (alapértelmezés: 1440; 720 … 7200)\n"
    "  --texture FÁJL     a Föld ekvirektanguláris képe (alapértelmezés: az openuniverse-é)\n"
    "  --no-texture       a Föld képe helyett sima háttér\n"
    "  --places           a beépített helyek listája\n"
    "  -h, --help         ez a súgó\n"
    "  --version          a program változata\n";

// Degrees and metres as the user's locale writes them, or with a '.'.
std::optional<double> ParseNumber(const QString &text) {
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) {
        value = QLocale().toDouble(text.trimmed(), &ok);
    }
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<QDate> ParseDate(const QString &text, bool monthAllowed) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})(?:-(\\d{2}))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch() || (!monthAllowed && m.captured(3).isEmpty())) {
        return std::nullopt;
    }
    const int year = m.captured(1).toInt();
    const QDate date(year, m.captured(2).toInt(),
                     m.captured(3).isEmpty() ? 1 : m.captured(3).toInt());
    if (!date.isValid() || year < FirstYear || year > LastYear) {
        return std::nullopt;
    }
    return date;
}

// The new moons and ΔT serve up to the end of LastYear: a table that would run
// past it stops there, with a note on stderr.
Refusal KeepWithinYears(TableRequest &request) {
    const int within =
        LastForecastLunation(request.setting.zone) + 1 - LunationAtOrAfter(request.start);
    if (within <= 0) {
        return QStringLiteral("%1 vége előtt nincs több újhold.").arg(LastYear);
    }
    if (request.count > within) {
        cli::Err() << QStringLiteral("A táblázat %1 végéig tart: a kért %2 újholdból %3 fér bele.")
                          .arg(LastYear)
                          .arg(request.count)
                          .arg(within)
                   << Qt::endl;
        request.count = within;
    }
    return std::nullopt;
}

// The place chosen in the window's dialog, from the folder where the window
// keeps its files; an unreadable hely.txt is said, and Budapest stands in.
// Its skyline, horizont.txt, goes with it unless another is given.
void UseStoredPlace(TableSetting &setting, bool withSkyline) {
    const AppDirs dirs = LocateAppDirs(QCoreApplication::applicationDirPath(), UserDataDir());
    const PlaceReading reading = LoadObserverPlace(dirs.data);
    if (!reading.message.isEmpty()) {
        cli::Err() << reading.message << Qt::endl;
    }
    setting.placeName = reading.place.name;
    setting.place = reading.place.place;
    if (!reading.place.zone.isEmpty()) {
        setting.placeZone = ZoneOf(reading.place);
    }
    if (withSkyline) {
        const HorizonFileReading skyline = LoadStoredPlaceHorizon(dirs.data);
        if (!skyline.message.isEmpty()) {
            cli::Err() << skyline.message << Qt::endl;
        }
        setting.skyline = skyline.skyline;
    }
}

// Without --zone or --utc the times are on the place's own clock; a place
// given by its coordinates, or stored without a zone, keeps the system's.
void SetClocks(TableSetting &setting) {
    if (!setting.placeZone.isValid()) {
        setting.placeZone = setting.zone.isValid() ? SystemZone() : cli::ReportedSystemZone();
    }
    if (!setting.zone.isValid()) {
        setting.zone = setting.placeZone;
    }
}

} // namespace

CommandLine::CommandLine() {
    cli::AddStandardOptions(parser_);
    parser_.addOptions({places_,    place_,    lat_,       lon_,     elev_,   from_,  months_,
                        zone_,      utc_,      csv_,       csvHu_,   wide_,   year_,  ics_,
                        map_,       out_,      criterion_, region_,  step_,   width_, texture_,
                        noTexture_, mornings_, both_,      morning_, horizon_});
}

std::optional<int> CommandLine::parse(const QStringList &arguments) {
    if (const std::optional<int> refused = cli::ParseArguments(parser_, arguments)) {
        return refused;
    }
    if (!parser_.positionalArguments().isEmpty()) {
        return cli::UsageError(QStringLiteral("Fölösleges argumentum: '%1'.")
                                   .arg(parser_.positionalArguments().first()));
    }
    return cli::AnswerStandardOptions(parser_,
                                      QString::fromUtf8(HelpText).arg(FirstYear).arg(LastYear));
}

// --- The map

Refusal CommandLine::readMap(MapRequest &request) const {
    for (const QCommandLineOption *o :
         {&place_, &lat_, &lon_, &elev_, &from_, &months_, &zone_, &utc_, &csv_, &csvHu_, &wide_,
          &year_, &ics_, &mornings_, &both_, &horizon_}) {
        if (parser_.isSet(*o)) {
            return QStringLiteral("A --map mellé nem adható meg a --%1 kapcsoló.")
                .arg(o->names().constFirst());
        }
    }
    const std::optional<QDate> date = ParseDate(parser_.value(map_), false);
    if (!date) {
        return QStringLiteral("Hibás dátum: '%1' (ÉÉÉÉ-HH-NN, %2 és %3 között).")
            .arg(parser_.value(map_))
            .arg(FirstYear)
            .arg(LastYear);
    }
    request.date = *date;
    if (parser_.isSet(morning_)) {
        request.direction = Direction::Morning;
    }
    if (!parser_.isSet(out_) || parser_.value(out_).isEmpty()) {
        return QStringLiteral("A térkép fájljának nevét a --out adja meg.");
    }
    request.out = parser_.value(out_);
    if (Refusal refusal = readCriterion(request)) {
        return refusal;
    }
    if (Refusal refusal = readRegion(request)) {
        return refusal;
    }
    if (Refusal refusal = readStep(request)) {
        return refusal;
    }
    if (Refusal refusal = readWidth(request)) {
        return refusal;
    }
    return readTexture(request);
}

Refusal CommandLine::readCriterion(MapRequest &request) const {
    if (!parser_.isSet(criterion_)) {
        return std::nullopt;
    }
    const QString name = parser_.value(criterion_).trimmed().toLower();
    if (name == u"odeh") {
        request.criterion = Criterion::Odeh;
    } else if (name != u"yallop") {
        return QStringLiteral("Ismeretlen feltétel: '%1' (yallop vagy odeh).")
            .arg(parser_.value(criterion_));
    }
    return std::nullopt;
}

// Two corners, each latitude then longitude; the longitudes with a point,
// since the comma parts the numbers.
Refusal CommandLine::readRegion(MapRequest &request) const {
    if (!parser_.isSet(region_)) {
        return std::nullopt;
    }
    const QString text = parser_.value(region_);
    const QStringList parts = text.split(u',');
    std::vector<double> numbers;
    for (const QString &part : parts) {
        bool ok = false;
        const double value = QLocale::c().toDouble(part.trimmed(), &ok);
        if (!ok || !std::isfinite(value)) {
            break;
        }
        numbers.push_back(value);
    }
    const auto refuse = [&text](const QString &why) {
        return QStringLiteral("Hibás terület: '%1' (%2).").arg(text, why);
    };
    if (parts.size() != 4 || numbers.size() != 4) {
        return refuse(QStringLiteral("négy szám vesszővel elválasztva: SZ1,H1,SZ2,H2"));
    }
    if (std::abs(numbers[0]) > 90 || std::abs(numbers[2]) > 90 || std::abs(numbers[1]) > 180 ||
        std::abs(numbers[3]) > 180) {
        return refuse(QStringLiteral("a szélesség -90 … 90, a hosszúság -180 … 180 fok"));
    }
    if (numbers[0] == numbers[2] || numbers[1] == numbers[3]) {
        return refuse(QStringLiteral("a két sarok szélessége és hosszúsága is különbözzön"));
    }
    request.region = {std::min(numbers[0], numbers[2]), numbers[1],
                      std::max(numbers[0], numbers[2]),
                      numbers[3] > numbers[1] ? numbers[3] : numbers[3] + 360};
    request.step = 0.1;
    return std::nullopt;
}

Refusal CommandLine::readStep(MapRequest &request) const {
    if (!parser_.isSet(step_)) {
        return std::nullopt;
    }
    const std::optional<double> value = ParseNumber(parser_.value(step_));
    const double cells = value ? 180.0 / *value : 0;
    if (!value || *value < 0.1 || *value > 10 || std::abs(cells - std::round(cells)) > 1e-6) {
        return QStringLiteral("Hibás rácsköz: '%1' (0,1 és 10 fok között, a 180 osztója).")
            .arg(parser_.value(step_));
    }
    request.step = *value;
    return std::nullopt;
}

Refusal CommandLine::readWidth(MapRequest &request) const {
    if (!parser_.isSet(width_)) {
        return std::nullopt;
    }
    bool ok = false;
    request.width = parser_.value(width_).trimmed().toInt(&ok);
    if (!ok || request.width < 720 || request.width > 7200) {
        return QStringLiteral("Hibás képszélesség: '%1' (720 és 7200 között).")
            .arg(parser_.value(width_));
    }
    return std::nullopt;
}

Refusal CommandLine::readTexture(MapRequest &request) const {
    if (parser_.isSet(texture_) && parser_.isSet(noTexture_)) {
        return QStringLiteral("A --texture és a --no-texture közül csak az egyik adható meg.");
    }
    if (!parser_.isSet(noTexture_)) {
        request.texture = parser_.isSet(texture_) ? parser_.value(texture_) : EarthTexturePath();
    }
    return std::nullopt;
}

// --- The table

Refusal CommandLine::readTable(TableRequest &request) const {
    for (const QCommandLineOption *o :
         {&out_, &criterion_, &region_, &step_, &width_, &texture_, &noTexture_, &morning_}) {
        if (parser_.isSet(*o)) {
            return QStringLiteral("A --%1 kapcsoló csak a --map mellé adható meg.")
                .arg(o->names().constFirst());
        }
    }
    if (Refusal refusal = readZone(request.setting.zone)) {
        return refusal;
    }
    if (Refusal refusal = readPlace(request)) {
        return refusal;
    }
    SetClocks(request.setting);
    if (Refusal refusal = readCount(request.count)) {
        return refusal;
    }
    if (Refusal refusal = readForm(request)) {
        return refusal;
    }
    if (Refusal refusal = readCalendar(request)) {
        return refusal;
    }
    if (Refusal refusal = readParts(request)) {
        return refusal;
    }
    if (Refusal refusal = readHorizon(request)) {
        return refusal;
    }
    if (parser_.isSet(year_)) {
        return readYear(request);
    }
    if (Refusal refusal = readStart(request.setting.zone, request.start)) {
        return refusal;
    }
    return request.start.isValid() ? KeepWithinYears(request) : std::nullopt;
}

Refusal CommandLine::readZone(QTimeZone &zone) const {
    if (parser_.isSet(utc_) && parser_.isSet(zone_)) {
        return QStringLiteral("A --zone és a --utc közül csak az egyik adható meg.");
    }
    if (parser_.isSet(utc_)) {
        zone = QTimeZone::utc();
    } else if (parser_.isSet(zone_)) {
        const std::optional<QTimeZone> named = NamedZone(parser_.value(zone_).trimmed());
        if (!named) {
            return QStringLiteral("Ismeretlen időzóna: '%1'.").arg(parser_.value(zone_));
        }
        zone = *named;
    } else {
        zone = QTimeZone(); // the place's own, once the place is known
    }
    return std::nullopt;
}

Refusal CommandLine::readPlace(TableRequest &request) const {
    const bool coordinates = parser_.isSet(lat_) || parser_.isSet(lon_) || parser_.isSet(elev_);
    if (parser_.isSet(place_) && coordinates) {
        return QStringLiteral("A --place és a --lat/--lon/--elev közül csak az egyik adható meg.");
    }
    if (coordinates) {
        return readCoordinates(request.setting);
    }
    if (!parser_.isSet(place_)) {
        UseStoredPlace(request.setting, !parser_.isSet(horizon_));
        return std::nullopt;
    }
    const QString name = parser_.value(place_);
    const std::optional<NamedPlace> found = FindPlace(name);
    if (!found) {
        return QStringLiteral("Ismeretlen hely: '%1'. A beépített helyek: lunex-crescents --places")
            .arg(name);
    }
    request.setting.placeName = found->name.toString();
    request.setting.place = found->place;
    request.setting.placeZone = NamedZone(found->zone).value_or(QTimeZone());
    return std::nullopt;
}

Refusal CommandLine::readCoordinates(TableSetting &setting) const {
    if (!parser_.isSet(lat_) || !parser_.isSet(lon_)) {
        return QStringLiteral("A --lat és a --lon csak együtt adható meg.");
    }
    const std::optional<double> latitude = ParseNumber(parser_.value(lat_));
    const std::optional<double> longitude = ParseNumber(parser_.value(lon_));
    const std::optional<double> elevation =
        parser_.isSet(elev_) ? ParseNumber(parser_.value(elev_)) : std::optional(0.0);
    if (!latitude || std::abs(*latitude) > 90) {
        return QStringLiteral("Hibás szélesség: '%1' (-90 és 90 fok között).")
            .arg(parser_.value(lat_));
    }
    if (!longitude || std::abs(*longitude) > 180) {
        return QStringLiteral("Hibás hosszúság: '%1' (-180 és 180 fok között).")
            .arg(parser_.value(lon_));
    }
    if (!elevation || *elevation < LowestElevation || *elevation > HighestElevation) {
        return QStringLiteral("Hibás magasság: '%1' (%2 és %3 méter között).")
            .arg(parser_.value(elev_))
            .arg(LowestElevation)
            .arg(HighestElevation);
    }
    setting.place = {*latitude, *longitude, *elevation};
    setting.placeName = UnnamedPlace;
    return std::nullopt;
}

Refusal CommandLine::readCount(int &count) const {
    if (!parser_.isSet(months_)) {
        return std::nullopt;
    }
    bool ok = false;
    count = parser_.value(months_).trimmed().toInt(&ok);
    if (!ok || count < 1 || count > MaxLunations) {
        return QStringLiteral("Hibás szám: '%1' (1 és %2 között).")
            .arg(parser_.value(months_))
            .arg(MaxLunations);
    }
    return std::nullopt;
}

Refusal CommandLine::readForm(TableRequest &request) const {
    const int forms =
        int(parser_.isSet(csv_)) + int(parser_.isSet(csvHu_)) + int(parser_.isSet(wide_));
    if (forms > 1) {
        return QStringLiteral("A --wide, a --csv és a --csv-hu közül csak az egyik adható meg.");
    }
    if (parser_.isSet(csv_)) {
        request.csv = CsvForm::Plain;
    } else if (parser_.isSet(csvHu_)) {
        request.csv = CsvForm::Hungarian;
    } else if (parser_.isSet(wide_)) {
        request.width = TableWidth::Wide;
    }
    return std::nullopt;
}

Refusal CommandLine::readParts(TableRequest &request) const {
    if (parser_.isSet(mornings_) && parser_.isSet(both_)) {
        return QStringLiteral("A --mornings és a --both közül csak az egyik adható meg.");
    }
    // The year and the calendar are of the evenings.
    for (const QCommandLineOption *o : {&year_, &ics_}) {
        if (parser_.isSet(*o) && (parser_.isSet(mornings_) || parser_.isSet(both_))) {
            return QStringLiteral("A --%1 mellé nem adható meg a --%2 kapcsoló.")
                .arg(o->names().constFirst(),
                     parser_.isSet(both_) ? QStringLiteral("both") : QStringLiteral("mornings"));
        }
    }
    if (parser_.isSet(mornings_)) {
        request.parts = DayParts::Mornings;
    } else if (parser_.isSet(both_)) {
        request.parts = DayParts::Both;
    }
    return std::nullopt;
}

Refusal CommandLine::readYear(TableRequest &request) const {
    for (const QCommandLineOption *o : {&from_, &months_, &wide_}) {
        if (parser_.isSet(*o)) {
            return QStringLiteral("A --year mellé nem adható meg a --%1 kapcsoló.")
                .arg(o->names().constFirst());
        }
    }
    bool ok = false;
    const int year = parser_.value(year_).trimmed().toInt(&ok);
    if (!ok || year < FirstYear || year > LastYear) {
        return QStringLiteral("Hibás év: '%1' (%2 és %3 között).")
            .arg(parser_.value(year_))
            .arg(FirstYear)
            .arg(LastYear);
    }
    request.year = year;
    return std::nullopt;
}

Refusal CommandLine::readCalendar(TableRequest &request) const {
    if (!parser_.isSet(ics_)) {
        return std::nullopt;
    }
    for (const QCommandLineOption *o : {&csv_, &csvHu_, &wide_}) {
        if (parser_.isSet(*o)) {
            return QStringLiteral("A --ics mellé nem adható meg a --%1 kapcsoló.")
                .arg(o->names().constFirst());
        }
    }
    if (parser_.value(ics_).isEmpty()) {
        return QStringLiteral("A naptárfájl neve üres.");
    }
    request.ics = parser_.value(ics_);
    return std::nullopt;
}

// The year and the calendar say nothing of the skyline: a skyline asked for
// there would be silently ignored.
Refusal CommandLine::readHorizon(TableRequest &request) const {
    if (!parser_.isSet(horizon_)) {
        return std::nullopt;
    }
    for (const QCommandLineOption *o : {&year_, &ics_}) {
        if (parser_.isSet(*o)) {
            return QStringLiteral("A --%1 mellé nem adható meg a --horizon kapcsoló.")
                .arg(o->names().constFirst());
        }
    }
    if (parser_.value(horizon_).isEmpty()) {
        return QStringLiteral("A horizont fájljának neve üres.");
    }
    request.horizonFile = parser_.value(horizon_);
    return std::nullopt;
}

Refusal CommandLine::readStart(const QTimeZone &zone, QDateTime &start) const {
    if (!parser_.isSet(from_)) {
        return std::nullopt; // the current lunation, once the place is known
    }
    const std::optional<QDate> date = ParseDate(parser_.value(from_), true);
    if (!date) {
        return QStringLiteral("Hibás dátum: '%1' (ÉÉÉÉ-HH vagy ÉÉÉÉ-HH-NN, %2 és %3 között).")
            .arg(parser_.value(from_))
            .arg(FirstYear)
            .arg(LastYear);
    }
    // Where the zone's clock skipped the date's midnight, the date still
    // begins: when the clock jumped past it.
    start = DayStart(*date, zone).value_or(QDateTime());
    return std::nullopt;
}

} // namespace lunex::crescents
