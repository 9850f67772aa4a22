#pragma once

#include "lunar/ephemeris.h"

#include <QList>
#include <QStringView>

#include <array>
#include <optional>

// The places that lunex-crescents knows by name: the Hungarian county seats with
// Budapest (the seat of Pest county), and cities around the world chosen to cover
// every kind of evening the crescent can have: polar (Tromsø, Longyearbyen),
// equatorial (Jakarta, Nairobi), far south (Cape Town, Santiago, Ushuaia), either
// side of the date line (Auckland, Suva, Apia, Honolulu) and the places where the
// first crescent is watched for the Islamic calendar (Mecca, Cairo, Karachi,
// Dhaka, Kuala Lumpur, Jakarta).
//
// Source: city-centre coordinates and elevations compiled by hand for Lunex and
// checked at random against the values the cities' encyclopaedia entries publish
// (Wikipedia): latitudes and longitudes rounded to 0.01° (about 1 km), elevations
// of the centre to about 10 m. The cities that give their name to a zone of the
// tz database agree with its `zone1970.tab` to within 0.1°. For the crescent 0.1°
// of longitude is 24 seconds of time.
namespace lunex {

struct NamedPlace {
    QStringView name;                   // as printed: the Hungarian one where Hungarian has its own
    std::array<QStringView, 2> aliases; // other names it is found by; the unused ones empty
    Place place;                        // north and east positive, metres above sea level
};

inline constexpr auto BuiltInPlaces = std::to_array<NamedPlace>({
    {u"Budapest", {}, {47.50, 19.04, 105}},
    {u"Békéscsaba", {}, {46.67, 21.09, 87}},
    {u"Debrecen", {}, {47.53, 21.63, 121}},
    {u"Eger", {}, {47.90, 20.38, 160}},
    {u"Győr", {}, {47.69, 17.65, 108}},
    {u"Kaposvár", {}, {46.36, 17.80, 153}},
    {u"Kecskemét", {}, {46.91, 19.69, 114}},
    {u"Miskolc", {}, {48.10, 20.78, 130}},
    {u"Nyíregyháza", {}, {47.96, 21.72, 111}},
    {u"Pécs", {}, {46.07, 18.23, 153}},
    {u"Salgótarján", {}, {48.10, 19.80, 250}},
    {u"Szeged", {}, {46.25, 20.14, 75}},
    {u"Székesfehérvár", {}, {47.19, 18.42, 118}},
    {u"Szekszárd", {}, {46.35, 18.71, 110}},
    {u"Szolnok", {}, {47.16, 20.18, 85}},
    {u"Szombathely", {}, {47.23, 16.62, 209}},
    {u"Tatabánya", {}, {47.57, 18.40, 170}},
    {u"Veszprém", {}, {47.09, 17.91, 260}},
    {u"Zalaegerszeg", {}, {46.84, 16.85, 156}},
    {u"Apia", {}, {-13.83, -171.77, 2}},
    {u"Anchorage", {}, {61.22, -149.90, 31}},
    {u"Auckland", {}, {-36.85, 174.76, 26}},
    {u"Bécs", {u"Vienna", u"Wien"}, {48.21, 16.37, 190}},
    {u"Buenos Aires", {}, {-34.60, -58.38, 25}},
    {u"Casablanca", {}, {33.57, -7.59, 50}},
    {u"Dakka", {u"Dhaka"}, {23.81, 90.41, 4}},
    {u"Fokváros", {u"Cape Town", u"Kaapstad"}, {-33.92, 18.42, 25}},
    {u"Helsinki", {}, {60.17, 24.94, 15}},
    {u"Honolulu", {}, {21.31, -157.86, 6}},
    {u"Isztambul", {u"Istanbul"}, {41.01, 28.98, 39}},
    {u"Jakarta", {u"Dzsakarta"}, {-6.21, 106.85, 8}},
    {u"Jeruzsálem", {u"Jerusalem"}, {31.77, 35.21, 754}},
    {u"Kairó", {u"Cairo"}, {30.04, 31.24, 23}},
    {u"Karacsi", {u"Karachi"}, {24.86, 67.00, 8}},
    {u"Kuala Lumpur", {}, {3.14, 101.69, 56}},
    {u"Lagos", {}, {6.52, 3.38, 41}},
    {u"London", {}, {51.51, -0.13, 11}},
    {u"Longyearbyen", {}, {78.22, 15.63, 10}},
    {u"Los Angeles", {}, {34.05, -118.24, 93}},
    {u"Madrid", {}, {40.42, -3.70, 657}},
    {u"Mekka", {u"Mecca", u"Makkah"}, {21.42, 39.83, 277}},
    {u"Mexikóváros", {u"Mexico City", u"Ciudad de México"}, {19.43, -99.13, 2240}},
    {u"Moszkva", {u"Moscow"}, {55.76, 37.62, 156}},
    {u"Nairobi", {}, {-1.29, 36.82, 1795}},
    {u"New York", {}, {40.71, -74.01, 10}},
    {u"Párizs", {u"Paris"}, {48.86, 2.35, 35}},
    {u"Peking", {u"Beijing"}, {39.90, 116.41, 44}},
    {u"Reykjavík", {}, {64.15, -21.94, 20}},
    {u"Rio de Janeiro", {}, {-22.91, -43.17, 5}},
    {u"Róma", {u"Rome", u"Roma"}, {41.90, 12.50, 21}},
    {u"Santiago", {u"Santiago de Chile"}, {-33.45, -70.67, 570}},
    {u"Suva", {}, {-18.12, 178.45, 10}},
    {u"Sydney", {}, {-33.87, 151.21, 58}},
    {u"Teherán", {u"Tehran"}, {35.69, 51.39, 1190}},
    {u"Tokió", {u"Tokyo"}, {35.68, 139.65, 40}},
    {u"Tromsø", {u"Tromso"}, {69.65, 18.96, 10}},
    {u"Újdelhi", {u"New Delhi"}, {28.61, 77.21, 216}},
    {u"Ushuaia", {}, {-54.80, -68.30, 20}},
});

// A built-in place by its name or one of its aliases, regardless of capitals,
// accents and extra blanks ("tromso" finds Tromsø).
std::optional<NamedPlace> FindPlace(QStringView name);

// The text with the accents of its letters left off, as the names are matched
// ("Székesfehérvár" is "Szekesfehervar"; ø, which Unicode does not take apart,
// is o).
QString WithoutAccents(QStringView text);

// The built-in places whose name or an alias contains the typed text, matched
// as FindPlace matches ("szekesfehervar" finds Székesfehérvár, "wien" Bécs), in
// the table's order; all of them for an empty text.
QList<NamedPlace> SearchPlaces(QStringView typed);

// The heights an observer can stand at, from the shore of the Dead Sea to the
// highest mountains, in metres above sea level.
inline constexpr double LowestElevation = -500;
inline constexpr double HighestElevation = 9000;

} // namespace lunex
